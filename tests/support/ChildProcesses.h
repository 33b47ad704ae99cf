#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace testing_support {

// Processes a test starts; every one of them (and what they start) is ended when the holder
// goes, so that a failing test leaves no window behind for the next one.
class ChildProcesses {
public:
    ChildProcesses();
    ~ChildProcesses();
    ChildProcesses(const ChildProcesses&) = delete;
    ChildProcesses& operator=(const ChildProcesses&) = delete;

    // Starts program with the arguments (in currentDirectory when one is given); its process
    // handle (owned here), or null. processId, when given, receives the process's id.
    HANDLE Start(const std::wstring& program, const std::wstring& arguments = L"",
                 DWORD* processId = nullptr, const std::wstring& currentDirectory = L"",
                 DWORD creationFlags = 0);
    // Starts program and waits for its end: its exit code, or kNotStarted / kStillRunning.
    DWORD Run(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 30000);
    // Ends everything started so far.
    void EndAll();
    // How many processes have run here so far: those started and those they started.
    DWORD ProcessesSeen() const;

    static constexpr DWORD kNotStarted = 9999, kStillRunning = 9998;

private:
    UniqueKernelHandle job;
    std::vector<UniqueKernelHandle> processes;
};

// Whether the process ends within ms milliseconds.
bool Ends(HANDLE process, DWORD ms);
// Its exit code (STILL_ACTIVE while it runs).
DWORD ExitCodeOf(HANDLE process);

}  // namespace testing_support
