#pragma once
// Plain windows for the browser tests: a visible top-level frame with a child that hosts the
// control, and windows of any class name the tests need (the document window's class, the Flash
// player's class).
#include <windows.h>

#include "TestSupport.h"

using testing_support::ClassOf;
using testing_support::CreateTestWindow;

// A visible child window of the class, 10 by 10 at the parent's origin.
inline HWND ChildWindow(const wchar_t* className, HWND parent, DWORD style = WS_CHILD | WS_VISIBLE)
{
    return CreateTestWindow(className, style, 0, 0, 10, 10, parent);
}

// A top-level frame and a child host window filling part of it; destroyed with the object.
struct HostWindows {
    HostWindows(int width = 500, int height = 300)
    {
        frame = CreateTestWindow(L"BrowserTestFrame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40,
                                 width + 100, height + 100, nullptr);
        host = CreateTestWindow(L"BrowserTestHost", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                                width, height, frame);
    }
    ~HostWindows()
    {
        if (IsWindow(frame)) DestroyWindow(frame);
    }
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;
    HWND frame = nullptr;
    HWND host = nullptr;
};
