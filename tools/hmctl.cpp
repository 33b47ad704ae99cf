// hmctl: finds a running Harrowmere client by its game window's class and posts it one of the
// game window's commands. Useful where the pages cannot drive the client (an engine without
// HTML support) and for scripts.
//
//   hmctl [--wait SECONDS] find|enter-game-view|fullscreen|leave-fullscreen|close
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>

#include "GameMessages.h"

namespace {

struct Command {
    const wchar_t* name;
    WPARAM code;  // 0: only find the window
    const wchar_t* help;
};

const Command kCommands[] = {
    {L"find", 0, L"print the game window's handle, rectangle, visibility and any offline notice's size"},
    {L"enter-game-view", CMD_ENTER_GAME_VIEW, L"switch to the game view"},
    {L"fullscreen", CMD_TOGGLE_FULL_SCREEN, L"toggle full screen (as F10)"},
    {L"leave-fullscreen", CMD_LEAVE_FULL_SCREEN, L"leave full screen (as Esc)"},
    {L"close", CMD_DESTROY, L"close the client at once"},
};

int Usage()
{
    std::fwprintf(stderr, L"usage: hmctl [--wait SECONDS] COMMAND\ncommands:\n");
    for (const Command& c : kCommands) std::fwprintf(stderr, L"  %-18ls %ls\n", c.name, c.help);
    return 2;
}

HWND FindClient(double waitSeconds)
{
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(waitSeconds * 1000);
    for (;;) {
        if (HWND h = FindWindowW(kGameWindowClass, nullptr)) return h;
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return nullptr;
        Sleep(100);
    }
}

bool ParseSeconds(const wchar_t* text, double& seconds)
{
    wchar_t* end = nullptr;
    seconds = std::wcstod(text, &end);
    return end && end != text && *end == L'\0' && seconds >= 0 && seconds <= 3600;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    double wait = 0;
    int i = 1;
    if (i < argc && std::wcscmp(argv[i], L"--wait") == 0) {
        if (i + 1 >= argc || !ParseSeconds(argv[i + 1], wait)) return Usage();
        i += 2;
    }
    if (i + 1 != argc) return Usage();
    const Command* command = nullptr;
    for (const Command& c : kCommands) {
        if (std::wcscmp(argv[i], c.name) == 0) command = &c;
    }
    if (!command) return Usage();

    HWND game = FindClient(wait);
    if (!game) {
        std::fwprintf(stderr, L"hmctl: no running client (no window of class \"%ls\")\n", kGameWindowClass);
        return 1;
    }
    if (command->code == 0) {
        RECT r = {};
        GetWindowRect(game, &r);
        std::wprintf(L"%p %ld,%ld %ldx%ld %ls", static_cast<void*>(game), r.left, r.top,
                     r.right - r.left, r.bottom - r.top, IsWindowVisible(game) ? L"visible" : L"hidden");
        // The offline notice, with its width over the page.
        const HWND notice = FindWindowExW(game, nullptr, L"pelvar_offline", nullptr);
        RECT n = {};
        if (notice && IsWindowVisible(notice) && GetWindowRect(notice, &n))
            std::wprintf(L" offline %ldx%ld", n.right - n.left, n.bottom - n.top);
        std::wprintf(L"\n");
        return 0;
    }
    if (!PostMessageW(game, WM_GAME_COMMAND, command->code, 0)) {
        std::fwprintf(stderr, L"hmctl: the command could not be posted (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
