// The boss key and the tray icon on a real window and Wine's real notification area.
#include "CImageButton.h"
#include "CImageItem.h"
#include "Desktops.h"
#include "GameMessages.h"
#include "GameViewTestUtil.h"
#include "TestSupport.h"
#include "TrayMenu.h"

#include <gtest/gtest.h>

using namespace gameview_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

// Whether the system still knows our icon: modifying it succeeds only then.
bool IconPresent(const NOTIFYICONDATAW& icon)
{
    NOTIFYICONDATAW probe = icon;
    probe.uFlags = NIF_TIP;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

// Posts the boss key as the system does and waits until it has been handled (it changes
// bossHidden), or a short while when it is to change nothing.
void Hotkey(GameWindow& w, bool changes = true)
{
    const bool before = w.bossHidden;
    PostMessageW(w.hwnd, WM_HOTKEY, HOTKEY_BOSS, MAKELPARAM(MOD_ALT, 0x44));
    if (changes) {
        PumpUntil([&] { return w.bossHidden != before; }, 3000);
    } else {
        PumpFor(50);
    }
}

LRESULT Tray(GameWindow& w, LPARAM mouse, WPARAM id = TRAY_ICON_ID)
{
    return SendMessageW(w.hwnd, WM_TRAY_ICON, id, mouse);
}

void PutCursor(int x, int y)
{
    SetCursorPos(x, y);
    PumpFor(30);
    SetCursorPos(x, y);
}

void ClickRow(CImageMenu& menu, int index)
{
    const LPARAM at = MAKELPARAM(20, 5 + 24 * index);
    SendMessageW(menu.hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageW(menu.hwnd, WM_LBUTTONUP, 0, at);
}

}  // namespace

TEST(TrayMenuPlace, AtThePointerAndInsideTheWorkAreaOnEveryEdgeAndMonitor)
{
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
    for (const Case& c : cases) {
        const POINT p = TrayMenu::Place(c.cursor, c.m, 48);
        EXPECT_EQ(p.x, c.want.x) << c.what;
        EXPECT_EQ(p.y, c.want.y) << c.what;
    }
}

TEST(BossKeyTray, HotKeyHidesBehindTheIconAndBringsTheWindowBack)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    EXPECT_EQ(w.trayIcon.cbSize, 976u);
    EXPECT_EQ(w.trayIcon.uID, 128u);
    EXPECT_EQ(w.trayIcon.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(w.trayIcon.uCallbackMessage, WM_TRAY_ICON);
    EXPECT_TRUE(w.trayIcon.hIcon);
    ASSERT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(IconPresent(w.trayIcon));

    // Another hot-key id does nothing.
    PostMessageW(w.hwnd, WM_HOTKEY, 77, 0);
    PumpFor(30);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));

    Hotkey(w);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    EXPECT_TRUE(w.bossHidden);
    EXPECT_STREQ(w.trayIcon.szTip, L"Harrowmere网页版");
    EXPECT_TRUE(IconPresent(w.trayIcon));

    Hotkey(w);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.bossHidden);
    EXPECT_FALSE(IconPresent(w.trayIcon));

    // Hidden by something else (as in the first moments of the game view): nothing happens.
    ShowWindow(w.hwnd, SW_HIDE);
    Hotkey(w, false);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.bossHidden);
    EXPECT_FALSE(IconPresent(w.trayIcon));
}

TEST(BossKeyTray, MinimisedWindowComesBackMinimised)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    ShowWindow(w.hwnd, SW_MINIMIZE);
    PumpFor(50);
    ASSERT_TRUE(IsIconic(w.hwnd));
    Hotkey(w);
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    EXPECT_TRUE(w.bossHidden);
    Hotkey(w);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_TRUE(IsIconic(w.hwnd));
}

TEST(BossKeyTray, IconMouseMessages)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    Hotkey(w);
    ASSERT_TRUE(w.bossHidden);

    // Another icon's message is consumed without any action.
    EXPECT_EQ(Tray(w, WM_LBUTTONDBLCLK, 129), 1);
    EXPECT_TRUE(w.tray.OnTrayIcon(5, WM_RBUTTONUP));
    EXPECT_FALSE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.trayMenu.hwnd);

    for (UINT m : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MBUTTONUP}) {
        Tray(w, m);
        EXPECT_FALSE(IsWindowVisible(w.hwnd)) << m;
        EXPECT_TRUE(w.bossHidden) << m;
        EXPECT_FALSE(w.trayMenu.hwnd) << m;
    }
    Tray(w, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.bossHidden);
    EXPECT_FALSE(IconPresent(w.trayIcon));
}

TEST(BossKeyTray, MenuOpensAtThePointerAndItsRowsAct)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    Hotkey(w);
    PutCursor(900, 700);
    Tray(w, WM_RBUTTONUP);
    ASSERT_TRUE(IsWindow(w.trayMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(w.trayMenu.hwnd) != FALSE; }));
    ASSERT_EQ(w.trayMenu.list.items.size(), 2u);
    EXPECT_EQ(w.trayMenu.list.items[0]->id, 10018);
    EXPECT_STREQ(w.trayMenu.list.items[0]->buttons[0]->text, L"系统设置");
    EXPECT_EQ(w.trayMenu.list.items[1]->id, 10019);
    EXPECT_STREQ(w.trayMenu.list.items[1]->buttons[0]->text, L"关闭");
    RECT r = {};
    GetWindowRect(w.trayMenu.hwnd, &r);
    const POINT want = TrayMenu::Place(POINT{900, 700}, screen_placement::MonitorAt({900, 700}), 48);
    EXPECT_EQ(r.left, want.x);
    EXPECT_EQ(r.top, want.y);
    EXPECT_EQ(r.bottom - r.top, 48);
    // Opened again while still there: no duplicate rows.
    Tray(w, WM_RBUTTONUP);
    EXPECT_EQ(w.trayMenu.list.items.size(), 2u);

    // "系统设置" brings the window back and closes the menu.
    ClickRow(w.trayMenu, 0);
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.bossHidden);
    EXPECT_FALSE(IconPresent(w.trayIcon));
    EXPECT_FALSE(IsWindow(w.trayMenu.hwnd));

    // "关闭" removes the icon, ends the modal loop with 1 and destroys the window.
    Hotkey(w);
    Tray(w, WM_RBUTTONUP);
    ASSERT_TRUE(IsWindow(w.trayMenu.hwnd));
    const HWND game = w.hwnd;
    w.modalRunning = true;
    ClickRow(w.trayMenu, 1);
    EXPECT_FALSE(IsWindow(game));
    EXPECT_EQ(w.modalResult, 1);
    EXPECT_FALSE(w.modalRunning);
    NOTIFYICONDATAW gone = w.trayIcon;
    EXPECT_FALSE(IconPresent(gone));
    EXPECT_FALSE(IsWindowVisible(w.trayMenu.hwnd));
    w.bossHidden = false;
}

TEST(BossKeyTray, HundredCyclesAndMenuOpeningsLeakNothing)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    // Each round: a boss-key hide and show, then a hide ended through the icon's menu.
    auto cycle = [&](int i) {
        Hotkey(w);
        Hotkey(w);
        const bool cycled = IsWindowVisible(w.hwnd) && !w.bossHidden;
        Hotkey(w);
        SetCursorPos(800 + i % 50, 600);
        Tray(w, WM_RBUTTONUP);
        HWND shadow = w.trayMenu.shadow ? w.trayMenu.shadow->hwnd : nullptr;
        UpdateWindow(w.trayMenu.hwnd);
        ClickRow(w.trayMenu, 0);
        PumpUntil([&] { return !IsWindow(shadow); }, 2000);
        return cycled && IsWindowVisible(w.hwnd) && !w.bossHidden;
    };
    cycle(0);
    PumpFor(50);
    const int gdiBefore = testing_support::GdiObjectCount();
    const long gdipBefore = GdipLiveObjects().load();
    int back = 0;
    for (int i = 1; i <= 100; ++i) back += cycle(i) ? 1 : 0;
    PumpFor(50);
    EXPECT_EQ(back, 100);
    EXPECT_EQ(testing_support::GdiObjectCount(), gdiBefore);
    EXPECT_EQ(GdipLiveObjects().load(), gdipBefore);
}
