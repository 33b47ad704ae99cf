#pragma once
#include <windows.h>

// Finding the running game client by its window class and ending its process.

// What the enumeration callback looks for; zero-filled before use, empty strings match anything.
struct WindowCriteria {
    DWORD processId;         // 0 = any process
    HWND result;             // out: first matching top-level window
    wchar_t wantedTitle[256];
    wchar_t wantedClass[256];
};

// The class the client's game window registers; the only thing the uninstaller knows it by.
extern const wchar_t kClientWindowClass[];

// EnumWindows callback; lParam points at a WindowCriteria. Stops at the first match.
BOOL CALLBACK MatchWindowCriteria(HWND window, LPARAM lParam);

// The first top-level window of class "pelvarbrekmoor" in enumeration order, or null.
HWND FindClientWindow();

// Terminates the process; retries the open once with SeDebugPrivilege enabled. Given the window
// the id was read from, terminates only while that window still exists and belongs to the
// process just opened. True when TerminateProcess succeeded.
bool KillProcess(DWORD processId, HWND window = nullptr);
