// The game window with its title bar, tools menu, boss key and tray icon wired in: the parts
// are tested on their own elsewhere; these check that the real game window uses them.
#include "ClientTestUtil.h"

#include "CImageButton.h"
#include "CImagePaint.h"
#include "TestSupport.h"
#include "WebLinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using client_test::GameWindows;
using testing_support::PumpUntil;

namespace {

CImageButton* FindButton(CFrameGame& game, int id)
{
    return game.painter.FindButton(id);
}

}  // namespace

TEST(GameViewWiring, TitleBarIsBuiltAndAnchoredToTheMaximisedWindow)
{
    GameWindows w;
    ASSERT_TRUE(w.created);
    EXPECT_TRUE(w.game->painter.buttons.empty());  // no title bar in the start-up view
    ASSERT_TRUE(w.EnterGameViewShown());
    RECT client = {};
    GetClientRect(w.Game(), &client);
    const int width = client.right;
    for (int id : {10, 20, 30, 40, 10013, 10017, 10020, 10021, 10022, 10023})
        EXPECT_NE(FindButton(*w.game, id), nullptr) << id;
    CImageButton* close = FindButton(*w.game, 10);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->rect.right, width - 1);
    EXPECT_EQ(close->rect.left, width - 26);
    CImageButton* recharge = FindButton(*w.game, 10023);
    ASSERT_NE(recharge, nullptr);
    EXPECT_EQ(recharge->rect.left, width - 301);
    // Maximised: restore shows, maximise waits.
    EXPECT_TRUE(FindButton(*w.game, 40)->visible);
    EXPECT_FALSE(FindButton(*w.game, 30)->visible);
    EXPECT_EQ(w.game->tools.bossKeyLabel, L"老板键(Alt+D)");
}

TEST(GameViewWiring, QuickLinksAndFullScreenButtonAct)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    std::vector<std::wstring> opened;
    web_links::SetShellOpen([&](const wchar_t* a) { opened.emplace_back(a); });
    EXPECT_TRUE(w.game->OnButtonClick(FindButton(*w.game, 10023)));
    web_links::SetShellOpen(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find(L"/url-zelk-pay.html"), std::wstring::npos);

    EXPECT_TRUE(w.game->OnButtonClick(FindButton(*w.game, 10017)));
    EXPECT_TRUE(PumpUntil([&] { return w.game->fullScreen; }, 2000));
    PostMessageW(w.Game(), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    EXPECT_TRUE(PumpUntil([&] { return !w.game->fullScreen; }, 2000));
}

TEST(GameViewWiring, ToolsButtonOpensTheMenuUnderTheTitleBar)
{
    GameWindows w;
    ASSERT_TRUE(w.EnterGameViewShown());
    EXPECT_TRUE(w.game->OnButtonClick(FindButton(*w.game, 10013)));
    ASSERT_TRUE(PumpUntil([&] { return w.game->toolsMenu.hwnd && IsWindowVisible(w.game->toolsMenu.hwnd); }));
    RECT menu = client_test::WindowRect(w.game->toolsMenu.hwnd);
    RECT game = client_test::WindowRect(w.Game());
    EXPECT_EQ(menu.top, game.top + 30);
    EXPECT_EQ(menu.right - menu.left, 96);
    EXPECT_EQ(menu.bottom - menu.top, 72);  // three rows of 24
    wchar_t cls[64] = {};
    GetClassNameW(w.game->toolsMenu.hwnd, cls, 64);
    EXPECT_STREQ(cls, L"pelvar_menu");
}

TEST(GameViewWiring, BossKeyHidesBehindTheTrayIconAndBack)
{
    GameWindows w;
    // The start-up view has no boss key: the game view registers it.
    EXPECT_TRUE(RegisterHotKey(w.Game(), HOTKEY_BOSS + 1, MOD_ALT, 'D'));
    UnregisterHotKey(w.Game(), HOTKEY_BOSS + 1);
    ASSERT_TRUE(w.EnterGameViewShown());
    EXPECT_FALSE(RegisterHotKey(w.Game(), HOTKEY_BOSS + 1, MOD_ALT, 'D'));

    SendMessageW(w.Game(), WM_HOTKEY, HOTKEY_BOSS, 0);
    EXPECT_TRUE(w.game->bossHidden);
    EXPECT_FALSE(IsWindowVisible(w.Game()));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(w.Back()); }, 2000));  // frame goes too
    EXPECT_STREQ(w.game->trayIcon.szTip, L"Harrowmere网页版");

    // Another icon's message is consumed without action; ours restores on a double-click.
    EXPECT_EQ(SendMessageW(w.Game(), WM_TRAY_ICON, 7, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(w.game->bossHidden);
    SendMessageW(w.Game(), WM_TRAY_ICON, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(w.game->bossHidden);
    EXPECT_TRUE(IsWindowVisible(w.Game()));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(w.Back()) != FALSE; }, 2000));
}

TEST(GameViewWiring, TitleIsDrawnOnlyInTheGameView)
{
    GameWindows w;
    wcscpy(w.game->titleText, L"WWWWWWWWWW");
    auto inkIn = [&](int x0, int x1) {
        testing_support::Bitmap32 bmp(600, 30);
        bmp.Fill(0xFF000000);
        {
            Gdiplus::Graphics g(bmp.dc);
            w.game->OnDrawOverlay(g);
        }
        int ink = 0;
        for (int y = 4; y < 24; ++y)
            for (int x = x0; x < x1; ++x)
                if ((bmp.At(x, y) & 0xFF) > 0x80) ++ink;
        return ink;
    };
    EXPECT_EQ(inkIn(0, 600), 0);
    ASSERT_TRUE(w.EnterGameViewShown());
    EXPECT_GT(inkIn(22, 522), 10);
    EXPECT_EQ(inkIn(0, 21), 0);
}
