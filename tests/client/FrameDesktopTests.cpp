// The game window among the desktop's other windows: the boss key leaves nothing of ours on
// the screen, full screen stays on top, and the page has the keyboard.
#include "ClientTestUtil.h"
#include "CloseMsgWnd.h"
#include "UrlCache.h"

#include <gtest/gtest.h>

#include <vector>

using namespace client_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

// Visible top-level windows of this process (any thread).
std::vector<HWND> OursOnScreen()
{
    std::vector<HWND> found;
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(h))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND MessageBoxOnScreen()
{
    for (HWND h : OursOnScreen()) {
        wchar_t cls[16] = {};
        GetClassNameW(h, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0) return h;
    }
    return nullptr;
}

// The boss key as the system posts it; true once the window has changed state.
bool PressBossKey(CFrameGame& game)
{
    const bool before = game.bossHidden;
    PostMessageW(game.hwnd, WM_HOTKEY, HOTKEY_BOSS, MAKELPARAM(MOD_ALT, 0x44));
    return PumpUntil([&] { return game.bossHidden != before; }, 3000);
}

bool PageHasFocus(CFrameGame& game)
{
    return PumpUntil([&] { return GetFocus() && GetFocus() == game.PageWindow(); }, 3000);
}

}  // namespace

TEST(BossKeyHides, MenuAndTipAreDismissedAndNothingOfOursStaysOnScreen)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    w.game->tools.Open(w.Game());
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(w.game->toolsMenu.hwnd) != FALSE; }));
    w.game->toolTip.ShowTip(L"工具", 200);  // pending

    ASSERT_TRUE(PressBossKey(*w.game));
    EXPECT_TRUE(OursOnScreen().empty());
    // The tip's show timer is gone, so it cannot come up later.
    EXPECT_FALSE(KillTimer(w.game->toolTip.hwnd, CImageTipCtrl::kShowTimer));

    ASSERT_TRUE(PressBossKey(*w.game));
    EXPECT_TRUE(IsWindowVisible(w.Game()));
    EXPECT_FALSE(IsWindowVisible(w.game->toolsMenu.hwnd));
    EXPECT_FALSE(IsWindowVisible(w.game->toolTip.hwnd));
}

TEST(BossKeyHides, OpenQuestionGoesAndComesBackWithTheWindow)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    size_t onScreenWhileHidden = 99;
    bool questionBack = false;
    auto question = [] { return ThreadWindows(L"pelvardorsin"); };
    auto postBossKey = [&] { PostMessageW(w.Game(), WM_HOTKEY, HOTKEY_BOSS, 0); };
    // Steps run inside the question's own loop; each waits for its condition by returning false.
    TimerScript script({
        [&] { return !question().empty() && (postBossKey(), true); },
        [&] {
            if (!w.game->bossHidden) return false;
            onScreenWhileHidden = OursOnScreen().size();
            postBossKey();
            return true;
        },
        [&] {
            if (w.game->bossHidden) return false;
            questionBack = question().size() == 1 && IsWindowVisible(w.Game());
            PostMessageW(FindWindowW(L"pelvardorsin", nullptr), WM_CLOSE, 0, 0);
            return true;
        },
    });
    EXPECT_EQ(AskToClose(w.Game()), 2);
    EXPECT_EQ(onScreenWhileHidden, 0u);
    EXPECT_TRUE(questionBack);
}

TEST(BossKeyHides, CacheMessageWaitsForTheWindowToComeBack)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    ASSERT_TRUE(PressBossKey(*w.game));
    ASSERT_TRUE(StartClearUrlCache(w.Game()));
    ASSERT_TRUE(PumpUntil([] { return cacheMessageHeld.load(); }, 10000));
    EXPECT_EQ(MessageBoxOnScreen(), nullptr);
    ASSERT_TRUE(PressBossKey(*w.game));
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = MessageBoxOnScreen()) != nullptr; }, 5000));

    // A box already up hides with the window too, and comes back.
    ASSERT_TRUE(PressBossKey(*w.game));
    EXPECT_TRUE(PumpUntil([] { return OursOnScreen().empty(); }, 2000));  // the box's thread
    ASSERT_TRUE(PressBossKey(*w.game));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(box) != FALSE; }));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([] { return !cacheBusy.load(); }, 5000));
}

TEST(FullScreen, TopmostWhileOnAndNotAfter)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    auto topmost = [&] { return (GetWindowLongPtrW(w.Game(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topmost());
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    ASSERT_TRUE(w.game->fullScreen);
    PumpFor(100);  // whatever the change set off has run
    EXPECT_TRUE(topmost());
    EXPECT_FALSE(IsWindowVisible(w.Back())) << "no shadow frame in full screen";
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    PumpFor(100);
    EXPECT_FALSE(topmost());
}

TEST(PageFocus, AfterEnteringTheGameViewARestoreAndTheBossKey)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    EXPECT_TRUE(PageHasFocus(*w.game));

    SetFocus(w.Game());  // as a click on the title bar leaves it
    EXPECT_TRUE(PageHasFocus(*w.game));

    ShowWindow(w.Game(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(w.Game()) != FALSE; }));
    SendMessageW(w.Game(), WM_SYSCOMMAND, SC_RESTORE | 2, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(w.Game()); }));
    EXPECT_TRUE(PageHasFocus(*w.game));

    ASSERT_TRUE(PressBossKey(*w.game));
    ASSERT_TRUE(PressBossKey(*w.game));
    EXPECT_TRUE(PageHasFocus(*w.game));
}
