#pragma once
#include <windows.h>

// Messages, commands, timers and ids of the game window. The numbers are fixed: the browser
// child posts the full-screen commands, and outside tools post the commands to a running client.

// The game window's command message (posted, command code in wParam, lParam 0).
constexpr UINT WM_GAME_COMMAND = WM_USER + 0x04E5;  // 0x08E5
constexpr WPARAM CMD_TOGGLE_FULL_SCREEN = 5562;
constexpr WPARAM CMD_LEAVE_FULL_SCREEN = 5563;
constexpr WPARAM CMD_ENTER_GAME_VIEW = 1001;
constexpr WPARAM CMD_DESTROY = 5557;
constexpr UINT WM_TRAY_ICON = 0x15B4;
constexpr UINT_PTR TIMER_ENTER_GAME_VIEW = 5558;
constexpr UINT_PTR TIMER_SHOW_MAXIMIZED = 5559;
constexpr int HOTKEY_BOSS = 5561;
constexpr UINT TRAY_ICON_ID = 128;
constexpr int ICON_APP = 128;

// The product title: taskbar text, tray tip, message-box captions.
constexpr const wchar_t* kProductTitle = L"Harrowmere网页版";
// Window class by which the uninstaller finds a running client.
constexpr const wchar_t* kGameWindowClass = L"pelvarbrekmoor";
