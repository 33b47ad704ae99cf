// The boss key and the tray icon on the real game window and Wine's real notification area.
#include "CImageItem.h"
#include "ClientTestUtil.h"
#include "Desktops.h"
#include "TrayMenu.h"

using namespace client_test;

namespace {

// Whether the system still knows our icon: modifying it succeeds only then.
bool IconPresent(const NOTIFYICONDATAW& icon)
{
    NOTIFYICONDATAW probe = icon;
    probe.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

class BossKeyTray : public GameViewTest {
protected:
    LRESULT Tray(LPARAM mouse, WPARAM id = TRAY_ICON_ID)
    {
        return SendMessageW(game.hwnd, WM_TRAY_ICON, id, mouse);
    }
};

}  // namespace

TEST_F(BossKeyTray, HotKeyHidesBehindTheIconAndBringsTheWindowBackAsItWas)
{
    EXPECT_EQ(game.trayIcon.cbSize, 976u);
    EXPECT_EQ(game.trayIcon.uID, 128u);
    EXPECT_EQ(game.trayIcon.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(game.trayIcon.uCallbackMessage, WM_TRAY_ICON);
    EXPECT_TRUE(game.trayIcon.hIcon);
    ASSERT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(IconPresent(game.trayIcon));
    ShowWindow(game.hwnd, SW_RESTORE);  // maximised, it has no shadow frame
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(windows.Back()) != FALSE; }, 2000));

    // Another hot-key id does nothing.
    PostMessageW(game.hwnd, WM_HOTKEY, 77, 0);
    ASSERT_TRUE(PumpPosted());
    EXPECT_TRUE(IsWindowVisible(game.hwnd));

    ASSERT_TRUE(PressBossKey(game));
    EXPECT_FALSE(IsWindowVisible(game.hwnd));
    EXPECT_TRUE(game.bossHidden);
    EXPECT_STREQ(game.trayIcon.szTip, L"Harrowmere网页版");
    EXPECT_TRUE(IconPresent(game.trayIcon));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(windows.Back()); }, 2000))
        << "the shadow frame goes too";

    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.bossHidden);
    EXPECT_FALSE(IconPresent(game.trayIcon));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(windows.Back()) != FALSE; }, 2000));

    // A minimised window comes back minimised.
    ShowWindow(game.hwnd, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(game.hwnd) != FALSE; }));
    ASSERT_TRUE(PressBossKey(game));
    EXPECT_FALSE(IsWindowVisible(game.hwnd));
    EXPECT_TRUE(game.bossHidden);
    ASSERT_TRUE(PressBossKey(game));
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_TRUE(IsIconic(game.hwnd));

    // Hidden by something else (as in the first moments of the game view): nothing happens.
    ShowWindow(game.hwnd, SW_HIDE);
    SendMessageW(game.hwnd, WM_HOTKEY, HOTKEY_BOSS, MAKELPARAM(MOD_ALT, 0x44));  // handled when it returns
    EXPECT_FALSE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.bossHidden);
    EXPECT_FALSE(IconPresent(game.trayIcon));
}

TEST_F(BossKeyTray, IconMouseMessagesAndTheMenuAtThePointerWhoseRowsAct)
{
    ASSERT_TRUE(PressBossKey(game));
    ASSERT_TRUE(game.bossHidden);

    // Another icon's message is consumed without any action.
    EXPECT_EQ(Tray(WM_LBUTTONDBLCLK, 129), 1);
    EXPECT_TRUE(game.tray.OnTrayIcon(5, WM_RBUTTONUP));
    EXPECT_FALSE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.trayMenu.hwnd);

    for (UINT m : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONUP}) {
        Tray(m);
        EXPECT_FALSE(IsWindowVisible(game.hwnd)) << m;
        EXPECT_TRUE(game.bossHidden) << m;
        EXPECT_FALSE(game.trayMenu.hwnd) << m;
    }
    Tray(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.bossHidden);
    EXPECT_FALSE(IconPresent(game.trayIcon));

    // The right button opens the icon's menu at the pointer.
    ASSERT_TRUE(PressBossKey(game));
    PutCursor(900, 700);
    Tray(WM_RBUTTONUP);
    ASSERT_TRUE(IsWindow(game.trayMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(game.trayMenu.hwnd) != FALSE; }));
    const MenuRows rows = {{10018, L"系统设置"}, {10019, L"关闭"}};
    EXPECT_EQ(RowsOf(game.trayMenu.list), rows);
    const RECT r = WindowRect(game.trayMenu.hwnd);
    const POINT want = TrayMenu::Place(POINT{900, 700}, screen_placement::MonitorAt({900, 700}), 48);
    EXPECT_TRUE(PointIs(POINT{r.left, r.top}, want));
    EXPECT_EQ(r.bottom - r.top, 48);
    // The place at the pointer, inside the work area, on every edge and monitor.
    using namespace desktops;
    struct Case {
        const char* what;
        const Monitor& m;
        POINT cursor, want;
    } cases[] = {
        {"bottom bar: bottom at the pointer, 30 left", kBottomBar, {1800, 1000}, {1770, 952}},
        {"pointer on a bottom bar", kBottomBar, {1800, 1060}, {1770, 992}},
        {"right bar: 96 left of the pointer", kRightBar, {1850, 700}, {1754, 652}},
        {"pointer on a right bar", kRightBar, {1890, 700}, {1764, 652}},
        {"pointer on a top bar", kTopBar, {960, 20}, {930, 40}},
        {"top bar, pointer low", kTopBar, {500, 1079}, {470, 1031}},
        {"pointer on a left bar", kLeftBar, {30, 700}, {60, 652}},
        {"top-left corner", kBottomBar, {0, 0}, {0, 0}},
        {"top-right corner", kBottomBar, {1919, 0}, {1824, 0}},
        {"bottom-left corner", kBottomBar, {0, 1079}, {0, 992}},
        {"bottom-right corner", kBottomBar, {1919, 1079}, {1824, 992}},
        {"second monitor at the left", kLeftSecond, {-100, 1060}, {-130, 992}},
        {"its left edge", kLeftSecond, {-1920, 1060}, {-1920, 992}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(PointIs(TrayMenu::Place(c.cursor, c.m, 48), c.want)) << c.what;
    // Opened again while still there: no duplicate rows.
    Tray(WM_RBUTTONUP);
    EXPECT_EQ(RowsOf(game.trayMenu.list), rows);

    // "系统设置" brings the window back and closes the menu.
    ClickRow(game.trayMenu.hwnd, 0);
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.bossHidden);
    EXPECT_FALSE(IconPresent(game.trayIcon));
    EXPECT_FALSE(IsWindow(game.trayMenu.hwnd));

    // "关闭" removes the icon, ends the modal loop with 1 and destroys the window.
    ASSERT_TRUE(PressBossKey(game));
    Tray(WM_RBUTTONUP);
    ASSERT_TRUE(IsWindow(game.trayMenu.hwnd));
    const HWND gameWindow = game.hwnd;
    game.modalRunning = true;
    ClickRow(game.trayMenu.hwnd, 1);
    EXPECT_FALSE(IsWindow(gameWindow));
    EXPECT_EQ(game.modalResult, 1);
    EXPECT_FALSE(game.modalRunning);
    NOTIFYICONDATAW gone = game.trayIcon;
    EXPECT_FALSE(IconPresent(gone));
    EXPECT_FALSE(IsWindowVisible(game.trayMenu.hwnd));

}

TEST_F(BossKeyTray, RepeatedCyclesAndMenuOpeningsLeakNothing)
{
    // At the game view's minimum size: every showing redraws the shadow frame around it.
    ShowWindow(game.hwnd, SW_RESTORE);
    // Each round (ten after a first): a boss-key hide and show, then a hide ended through the
    // icon's menu; the real window and its shadow frame are hidden and shown three times.
    int back = 0;
    EXPECT_TRUE(LeavesNothingBehind(1, 10, [&](int i) {
        EXPECT_TRUE(PressBossKey(game));
        EXPECT_TRUE(PressBossKey(game));
        const bool cycled = IsWindowVisible(game.hwnd) && !game.bossHidden;
        EXPECT_TRUE(PressBossKey(game));
        SetCursorPos(800 + i % 50, 600);
        Tray(WM_RBUTTONUP);
        HWND shadow = game.trayMenu.shadow ? game.trayMenu.shadow->hwnd : nullptr;
        UpdateWindow(game.trayMenu.hwnd);
        ClickRow(game.trayMenu.hwnd, 0);
        PumpUntil([&] { return !IsWindow(shadow); }, 2000);
        if (cycled && IsWindowVisible(game.hwnd) && !game.bossHidden) ++back;
    }));
    EXPECT_EQ(back, 11);
}
