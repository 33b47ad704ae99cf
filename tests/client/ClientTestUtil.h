#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "CFrameGame.h"
#include "GameMessages.h"
#include "TestSupport.h"

namespace client_test {

inline const RECT kWorkArea1040 = {0, 0, 1920, 1040};

inline RECT WindowRect(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child)
{
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The game window's destruction posts WM_QUIT to the thread; tests keep running afterwards.
inline void DropQuit()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

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
        testing_support::PumpFor(20);
        DropQuit();
        game.reset();
    }
    HWND Game() const { return game->hwnd; }
    HWND Back() const { return game->backdrop.hwnd; }
    // Enters the game view and waits for the window to come up maximised.
    bool EnterGameViewShown()
    {
        SendMessageW(Game(), WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
        return testing_support::PumpUntil(
            [&] { return IsWindowVisible(Game()) && IsZoomed(Game()); }, 3000);
    }

    std::unique_ptr<CFrameGame> game;
    bool created = false;
};

// Steps run one after another from a thread timer, also inside nested modal loops; a step
// answers true when it is done.
class TimerScript {
public:
    explicit TimerScript(std::vector<std::function<bool()>> steps)
    {
        Current() = this;
        steps_ = std::move(steps);
        timer_ = SetTimer(nullptr, 0, 30, &TimerScript::Tick);
    }
    ~TimerScript()
    {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    bool Done() const { return next_ >= steps_.size(); }

private:
    static TimerScript*& Current()
    {
        static TimerScript* current = nullptr;
        return current;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TimerScript* self = Current();
        if (!self || self->Done()) return;
        const size_t index = self->next_;
        // A step may run a nested loop in which later steps run: advance before it runs.
        self->next_ = index + 1;
        if (!self->steps_[index]()) self->next_ = index;
    }
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// Top-level windows of this thread with the class, in z-order (topmost first).
inline std::vector<HWND> ThreadWindows(const wchar_t* cls)
{
    struct Search {
        const wchar_t* cls;
        std::vector<HWND> found;
    } search{cls, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t name[64] = {};
            GetClassNameW(h, name, 64);
            if (lstrcmpW(name, s->cls) == 0 && IsWindowVisible(h)) s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A left click on a skinned window at client point (x, y), as the pointer makes it.
inline void ClickAt(HWND h, int x, int y)
{
    SendMessageW(h, WM_MOUSEMOVE, 0, At(x, y));
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    if (IsWindow(h)) SendMessageW(h, WM_LBUTTONUP, 0, At(x, y));
}

}  // namespace client_test
