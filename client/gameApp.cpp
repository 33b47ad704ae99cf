#include "gameApp.h"
#include "CFrameGame.h"
#include "GameMessages.h"
#include "OperatorSite.h"
#include "ZeroFilled.h"

#include <cwchar>
#include <string>

gameApp* clientApp = nullptr;

void CutAtLastBackslash(wchar_t* path)
{
    if (wchar_t* last = wcsrchr(path, L'\\')) *last = L'\0';
}

WPARAM FullScreenKeyCommand(const MSG& msg, bool gameView)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return 0;
    if (!gameView) return 0;
    if (msg.wParam == VK_ESCAPE) return CMD_LEAVE_FULL_SCREEN;
    if (msg.wParam == VK_F10) return CMD_TOGGLE_FULL_SCREEN;
    return 0;
}

UniqueKernelHandle TakeInstanceMutex()
{
    UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, L"zelk"));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) mutex.Reset();
    return mutex;
}

bool gameApp::InitInstance()
{
    wmemset(moduleDir, 0, 260);
    wmemset(startUrl, 0, 512);
    GetModuleFileNameW(GetModuleHandleW(nullptr), moduleDir, 260);
    moduleDir[259] = L'\0';
    CutAtLastBackslash(moduleDir);

    instanceMutex = TakeInstanceMutex();
    const std::wstring start = operator_site::Address(operator_site::kStartPath);
    wcsncpy(startUrl, start.c_str(), 511);

    WithZeroFilled<CFrameGame>([this](CFrameGame& game) {
        currentGame = &game;
        game.RunGameWindow();
        currentGame = nullptr;
    });

    instanceMutex.Reset();
    return false;
}

int gameApp::PreTranslateMessage(MSG* msg)
{
    if (!msg || !currentGame || !currentGame->hwnd) return 0;
    if (WPARAM command = FullScreenKeyCommand(*msg, currentGame->gameView))
        PostMessageW(currentGame->hwnd, WM_GAME_COMMAND, command, 0);
    return 0;
}
