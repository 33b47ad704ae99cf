#pragma once
#include <windows.h>

// The game window's command message (posted, command code in wParam, lParam 0) and the two
// full-screen commands the browser child sends it.
constexpr UINT WM_GAME_COMMAND = WM_USER + 0x04E5;  // 0x08E5
constexpr WPARAM CMD_TOGGLE_FULL_SCREEN = 5562;
constexpr WPARAM CMD_LEAVE_FULL_SCREEN = 5563;
