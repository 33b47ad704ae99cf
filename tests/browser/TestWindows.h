#pragma once
// Plain windows for the browser tests: a visible top-level frame with a child that hosts the
// control, and windows of any class name the tests need (the document window's class, the Flash
// player's class).
#include <windows.h>

#include "TestSupport.h"

#include <string>

// Registers (once) a window class of that name with the default window procedure.
inline void RegisterTestClass(const wchar_t* name)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

inline HWND CreateTestWindow(const wchar_t* className, DWORD style, int x, int y, int w, int h,
                             HWND parent)
{
    RegisterTestClass(className);
    return CreateWindowExW(0, className, L"", style, x, y, w, h, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
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

using testing_support::ClassOf;
