#pragma once
#include <windows.h>

#include "CAppManager.h"
#include "UniqueHandle.h"

class CFrameGame;

// The client's application object: the executable's directory, the start address, the
// single-instance mutex, and the game window while it runs (for the F10 / Esc keys).
class gameApp : public CAppManager {
public:
    gameApp() = default;
    ~gameApp() override = default;

    // Creates and runs the game window; false once it is gone, so the entry never enters Run.
    bool InitInstance() override;
    // F10 and Esc in the game view post the full-screen commands; never consumes a message.
    int PreTranslateMessage(MSG* msg) override;

    wchar_t moduleDir[260] = {};
    wchar_t startUrl[512] = {};
    UniqueKernelHandle instanceMutex;
    CFrameGame* currentGame = nullptr;  // not owned
};

// The one application object of the client; written by the program entry before any reader.
extern gameApp* clientApp;

// Ends path at its last backslash; a path without one is left as it is.
void CutAtLastBackslash(wchar_t* path);

// The game-window command a queued key message asks for (CMD_TOGGLE_FULL_SCREEN for F10,
// CMD_LEAVE_FULL_SCREEN for Esc, key-down only and only in the game view), or 0.
WPARAM FullScreenKeyCommand(const MSG& msg, bool gameView);

// Takes the single-instance mutex "zelk": the handle when this process is the first holder,
// null otherwise (a second instance lets its handle go at once).
UniqueKernelHandle TakeInstanceMutex();
