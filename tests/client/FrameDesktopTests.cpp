// The game window among the desktop's other windows: the boss key leaves nothing of ours on
// the screen, full screen stays on top, and the page has the keyboard.
#include "ClientTestUtil.h"
#include "CloseMsgWnd.h"
#include "UrlCache.h"

#include <gtest/gtest.h>

#include <vector>

using namespace client_test;

namespace {

// Visible top-level windows of this process (any thread, any class).
std::vector<HWND> OursOnScreen() { return TopLevelWindows(nullptr); }

HWND MessageBoxOnScreen() { return TopLevelWindow(L"#32770"); }

bool PageHasFocus(CFrameGame& game)
{
    return PumpUntil([&] { return GetFocus() && GetFocus() == game.PageWindow(); }, 3000);
}

// Whether window a lies above window b in the z-order.
bool Above(HWND a, HWND b)
{
    for (HWND h = GetWindow(b, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        if (h == a) return true;
    }
    return false;
}

}  // namespace

using BossKeyHides = GameViewTest;
using PageFocus = GameViewTest;

TEST_F(BossKeyHides, MenuTipAndCacheMessageAreKeptOffTheScreenUntilTheWindowComesBack)
{
    game.tools.Open(game.hwnd);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(game.toolsMenu.hwnd) != FALSE; }));
    game.toolTip.ShowTip(L"工具", 200);  // pending

    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(OursOnScreen().empty());
    // The tip's show timer is gone, so it cannot come up later.
    EXPECT_FALSE(KillTimer(game.toolTip.hwnd, CImageTipCtrl::kShowTimer));

    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(IsWindowVisible(game.toolsMenu.hwnd));
    EXPECT_FALSE(IsWindowVisible(game.toolTip.hwnd));

    // A cache message waits for the window to come back.
    ASSERT_TRUE(PressBossKey(game));
    ASSERT_TRUE(StartClearUrlCache(game.hwnd));
    ASSERT_TRUE(PumpUntil([] { return cacheMessageHeld.load(); }, 10000));
    EXPECT_EQ(MessageBoxOnScreen(), nullptr);
    ASSERT_TRUE(PressBossKey(game));
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = MessageBoxOnScreen()) != nullptr; }, 5000));

    // A box already up hides with the window too, and comes back.
    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(PumpUntil([] { return OursOnScreen().empty(); }, 2000));  // the box's thread
    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(box) != FALSE; }));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([] { return !cacheBusy.load(); }, 5000));
}

TEST_F(BossKeyHides, OpenQuestionGoesAndComesBackWithTheWindow)
{
    size_t onScreenWhileHidden = 99;
    bool questionBack = false;
    auto question = [] { return TopLevelWindows(L"pelvardorsin"); };
    auto postBossKey = [&] { PostMessageW(game.hwnd, WM_HOTKEY, HOTKEY_BOSS, 0); };
    // Steps run inside the question's own loop; each waits for its condition by returning false.
    TimerScript script({
        [&] { return !question().empty() && (postBossKey(), true); },
        [&] {
            if (!game.bossHidden) return false;
            onScreenWhileHidden = OursOnScreen().size();
            postBossKey();
            return true;
        },
        [&] {
            if (game.bossHidden) return false;
            questionBack = question().size() == 1 && IsWindowVisible(game.hwnd);
            PostMessageW(FindWindowW(L"pelvardorsin", nullptr), WM_CLOSE, 0, 0);
            return true;
        },
    });
    EXPECT_EQ(AskToClose(game.hwnd), 2);
    EXPECT_EQ(onScreenWhileHidden, 0u);
    EXPECT_TRUE(questionBack);
}

TEST_F(PageFocus, AfterEnteringTheGameViewARestoreAndTheBossKeyAndFullScreenIsTopmostOnlyWhileOn)
{
    EXPECT_TRUE(PageHasFocus(game));

    SetFocus(game.hwnd);  // as a click on the title bar leaves it
    EXPECT_TRUE(PageHasFocus(game));

    ShowWindow(game.hwnd, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(game.hwnd) != FALSE; }));
    SendMessageW(game.hwnd, WM_SYSCOMMAND, SC_RESTORE | 2, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(game.hwnd); }));
    EXPECT_TRUE(PageHasFocus(game));

    ASSERT_TRUE(PressBossKey(game));
    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(PageHasFocus(game));

    // Full screen is topmost while on, and not after.
    auto topmost = [&] { return (GetWindowLongPtrW(game.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topmost());
    SendMessageW(game.hwnd, WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    ASSERT_TRUE(game.fullScreen);
    EXPECT_TRUE(PumpUntil(topmost, 2000));
    // The tooltip it owns is still its own and lies above it.
    EXPECT_EQ(GetWindow(game.toolTip.hwnd, GW_OWNER), game.hwnd);
    EXPECT_TRUE(Above(game.toolTip.hwnd, game.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(windows.Back()); }, 2000))
        << "no shadow frame in full screen";
    SendMessageW(game.hwnd, WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    EXPECT_TRUE(PumpUntil([&] { return !topmost(); }, 2000));
}
