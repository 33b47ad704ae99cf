#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CFrameGame.h"
#include "CImageButton.h"
#include "CImageItem.h"
#include "CImagePaintEx.h"
#include "GameMessages.h"
#include "TestSupport.h"
#include "WebLinks.h"

namespace client_test {

using namespace testing_support;

inline const RECT kWorkArea1040 = {0, 0, 1920, 1040};

// The backdrop and game window of one client start, destroyed at the end of the test.
class GameWindows {
public:
    explicit GameWindows(const RECT& workArea = kWorkArea1040) : game(std::make_unique<CFrameGame>())
    {
        created = game->CreateGameWindows(workArea);
    }
    ~GameWindows()
    {
        if (game->hwnd && IsWindow(game->hwnd)) DestroyWindow(game->hwnd);
        if (game->backdrop.hwnd && IsWindow(game->backdrop.hwnd)) DestroyWindow(game->backdrop.hwnd);
        PumpPosted();
        // The game window's destruction posts WM_QUIT to the thread; tests keep running afterwards.
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        game.reset();
    }
    HWND Game() const { return game->hwnd; }
    HWND Back() const { return game->backdrop.hwnd; }
    // Enters the game view and shows it maximised at once: the show timer's message is sent
    // rather than waited for (the timer itself is tested on its own).
    bool EnterGameViewShown()
    {
        SendMessageW(Game(), WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
        SendMessageW(Game(), WM_TIMER, TIMER_SHOW_MAXIMIZED, 0);
        return PumpUntil([&] { return IsWindowVisible(Game()) && IsZoomed(Game()); }, 3000);
    }
    // The game window restored and placed as the user places it.
    void Restore(int x, int y, int width, int height)
    {
        ShowWindow(Game(), SW_RESTORE);
        MoveWindow(Game(), x, y, width, height, TRUE);
        const RECT placed = {x, y, x + width, y + height};
        EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(Game()) && SameRect(WindowRect(Game()), placed); }));
    }

    std::unique_ptr<CFrameGame> game;
    bool created = false;
};

// The windows of one client start, in the start-up view.
class StartUpViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(w.created); }
    GameWindows w;
};

// The boss key as the system posts it; true once the window has changed state.
inline bool PressBossKey(CFrameGame& game)
{
    const bool before = game.bossHidden;
    PostMessageW(game.hwnd, WM_HOTKEY, HOTKEY_BOSS, MAKELPARAM(MOD_ALT, 0x44));
    return PumpUntil([&] { return game.bossHidden != before; }, 3000);
}

// A game window in its game view, shown maximised, for the tests of the game view's parts.
class GameViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(windows.created);
        ASSERT_TRUE(windows.EnterGameViewShown());
    }
    CImageButton* Button(int id) const { return game.painter.FindButton(id); }

    GameWindows windows;
    CFrameGame& game = *windows.game;
};

// Steps run one after another from a thread timer, also inside nested modal loops; a step
// answers true when it is done. A step still not done after kStepLimitMs fails the test, and the
// script then closes this thread's owned windows (questions, menus, boxes) so that the modal
// loops it runs in end instead of waiting for ever.
class TimerScript {
public:
    static constexpr ULONGLONG kStepLimitMs = 10000;

    explicit TimerScript(std::vector<std::function<bool()>> script)
    {
        Current() = this;
        steps = std::move(script);
        timer = SetTimer(nullptr, 0, 30, &TimerScript::Tick);
    }
    ~TimerScript()
    {
        KillTimer(nullptr, timer);
        Current() = nullptr;
    }
    bool Done() const { return next >= steps.size(); }

private:
    static TimerScript*& Current()
    {
        static TimerScript* current = nullptr;
        return current;
    }
    static BOOL CALLBACK CloseIfOwned(HWND window, LPARAM)
    {
        if (GetWindow(window, GW_OWNER)) PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TimerScript* self = Current();
        if (!self) return;
        if (self->abandoned) {
            EnumThreadWindows(GetCurrentThreadId(), &TimerScript::CloseIfOwned, 0);
            return;
        }
        if (self->Done()) return;
        const size_t index = self->next;
        if (index != self->timedStep) {
            self->timedStep = index;
            self->stepStarted = GetTickCount64();
        }
        // A step may run a nested loop in which later steps run: advance before it runs.
        self->next = index + 1;
        if (self->steps[index]()) return;
        self->next = index;
        if (GetTickCount64() - self->stepStarted > kStepLimitMs) {
            ADD_FAILURE() << "script step " << index << " never came true";
            self->abandoned = true;
        }
    }
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    size_t timedStep = static_cast<size_t>(-1);
    ULONGLONG stepStarted = 0;
    bool abandoned = false;
    UINT_PTR timer = 0;
};

inline POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The pointer onto client point p of a window of this thread: the cursor, then the move.
inline void MoveTo(HWND h, POINT p)
{
    POINT screen = p;
    ClientToScreen(h, &screen);
    PutCursor(screen.x, screen.y);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
}

// The rows of one of the game window's menus, in order: each row's id and its caption.
using MenuRows = std::vector<std::pair<int, std::wstring>>;
inline MenuRows RowsOf(const CImagePaintEx& list)
{
    MenuRows rows;
    for (const auto& item : list.items) {
        const bool oneCaption = item->buttons.size() == 1;
        rows.emplace_back(item->id, oneCaption ? item->buttons[0]->text : L"<not one caption>");
    }
    return rows;
}

// A click on row index of one of the game window's menus (24-pixel rows).
inline void ClickRow(HWND menu, int index)
{
    const LPARAM at = MAKELPARAM(20, 5 + 24 * index);
    SendMessageW(menu, WM_MOUSEMOVE, 0, at);
    SendMessageW(menu, WM_LBUTTONUP, 0, at);
}

// Records the addresses that would have reached the shell, and restores the shell when it goes.
class ShellRecorder {
public:
    ShellRecorder()
    {
        web_links::SetShellOpen([this](const wchar_t* a) { opened.emplace_back(a); });
    }
    ~ShellRecorder() { web_links::SetShellOpen(nullptr); }
    std::vector<std::wstring> opened;
};

}  // namespace client_test
