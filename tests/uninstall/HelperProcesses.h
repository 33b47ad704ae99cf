#pragma once
#include <windows.h>

#include "TestSupport.h"

#include <string>
#include <vector>

// Processes started by a test; every one of them (and what they start) is ended when the
// holder goes, so a failing test leaves no client window behind for the next one.
class HelperProcesses {
public:
    HelperProcesses();
    ~HelperProcesses();
    HelperProcesses(const HelperProcesses&) = delete;
    HelperProcesses& operator=(const HelperProcesses&) = delete;

    // Starts program with the arguments (in currentDirectory when one is given); returns its
    // process handle (owned here) or null.
    HANDLE Start(const std::wstring& program, const std::wstring& arguments = L"",
                 DWORD* processId = nullptr, const std::wstring& currentDirectory = L"");
    // Ends everything started so far.
    void EndAll();

private:
    HANDLE job_;
    std::vector<HANDLE> processes_;
};

using testing_support::WindowsPath;

// The top-level window of class className owned by processId, or null.
HWND FindWindowOf(DWORD processId, const wchar_t* className);

// Whether the process has ended.
bool HasEnded(HANDLE process);

// Whole-file helpers.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// Names of a directory's entries (no "." or ".."), sorted.
std::vector<std::wstring> ListDirectory(const std::wstring& directory);
// Removes a test tree whatever its attributes; only trees under C:\Games or named after the
// product are touched.
void RemoveTestTree(const std::wstring& directory);

// UTF-8 for readable failure messages.
std::string Utf8(const std::wstring& text);
