#pragma once
#include <windows.h>

#include "GameCommands.h"  // WM_GAME_COMMAND and the two full-screen commands

// Messages, commands, timers and ids of the game window. The numbers are fixed: the browser
// child posts the full-screen commands, and outside tools post the commands to a running client.
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
