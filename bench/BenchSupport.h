#pragma once
// What the benchmarks that drive real programs from outside share: a clock, medians, starting a
// program and finding its windows, and waiting until a window's thread is free again.
#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// Milliseconds of the performance counter.
double Now();
double Median(std::vector<double> values);

// A visible top-level window of process pid with class cls (and WS_EX_LAYERED when asked).
HWND FindShown(DWORD pid, const wchar_t* cls, bool layered = false);
// Any top-level window of process pid with class cls, shown or not.
HWND FindAny(DWORD pid, const wchar_t* cls);

// A started program; ends it (WM_CLOSE to closeWindow, then termination) when it goes.
class Program {
public:
    explicit Program(const std::wstring& commandLine);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool Started() const { return info.hProcess != nullptr; }
    DWORD Pid() const { return info.dwProcessId; }
    HANDLE Process() const { return info.hProcess; }
    // Waits up to timeoutMs for a visible window of class cls.
    HWND WaitFor(const wchar_t* cls, bool layered = false, double timeoutMs = 30000) const;
    // Ends the program: this message is posted to this window first.
    void EndWith(HWND window, UINT message, WPARAM wParam);

private:
    PROCESS_INFORMATION info = {};
    HWND endWindow = nullptr;
    UINT endMessage = WM_CLOSE;
    WPARAM endParam = 0;
};

// Returns once the window's thread has handled everything sent and queued so far, including the
// paints it owes: a sent message round trip, then its pending paints, then another round trip.
bool Settle(HWND window);

}  // namespace bench
