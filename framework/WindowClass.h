#pragma once
#include <windows.h>

// Process-wide registry of the framework's window classes, all served by SharedWindowProc.
bool IsWindowClassRegistered(const wchar_t* name);
bool RegisterWindowClass(const wchar_t* name);
LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
