// The popup menu with its shadow: real windows, activation, clicks, pixels and leaks.
#include "CImageButton.h"
#include "CImageItem.h"
#include "CImageMenu.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace painter_test;
using testing_support::PumpUntil;
using testing_support::SameRect;
using testing_support::WindowRect;

// A menu as the game window uses it: rows filled while it has no window, a click handler that
// hides and destroys the menu window.
struct TestMenu {
    CImageMenu menu;
    int clicked = 0;
    bool destroyOnClick = true;
    TestMenu()
    {
        menu.list.defaultItemHeight = 24;
        menu.list.SetHoverColor(0xFF9CD0FE);
        menu.list.onItemClick = [this](CImageItem* item) {
            clicked = item->id;
            if (!destroyOnClick) return;
            ShowWindow(menu.hwnd, SW_HIDE);
            DestroyWindow(menu.hwnd);
        };
    }
    void Fill(int rows = 3)
    {
        if (menu.hwnd) return;
        static const wchar_t* captions[] = {L"Refresh", L"Clear cache", L"About", L"Exit"};
        for (int i = 0; i < rows; ++i) menu.AddMenuItem(10011 + i, captions[i % 4]);
    }
    // Fills the rows when there is no window, shows the menu at p and answers its window.
    HWND Show(POINT p, int rows = 3)
    {
        Fill(rows);
        menu.ShowAt(p);
        return menu.hwnd;
    }
    HWND Shadow() const { return menu.shadow ? menu.shadow->hwnd : nullptr; }
    ~TestMenu()
    {
        if (menu.hwnd && IsWindow(menu.hwnd)) DestroyWindow(menu.hwnd);
    }
};

bool DarkPixel(unsigned argb)
{
    return ((argb >> 16) & 0xFF) < 0x90 && ((argb >> 8) & 0xFF) < 0x90 && (argb & 0xFF) < 0x90;
}

TEST(Menu, ThreeRowsMakeA96By72MenuInsideA108By84ShadowThatMovesWithItAndHotRowsAreFilled)
{
    TestMenu t;
    HWND menu = t.Show(POINT{200, 150});
    HWND shadow = t.Shadow();
    ASSERT_TRUE(IsWindow(menu));
    ASSERT_TRUE(IsWindow(shadow));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(menu) && IsWindowVisible(shadow); }));
    EXPECT_RECT(WindowRect(menu), 200, 150, 296, 222);
    EXPECT_RECT(WindowRect(shadow), 194, 144, 302, 228);
    EXPECT_EQ(GetWindow(menu, GW_OWNER), shadow);
    // The menu lies above its shadow in the z-order.
    HWND below = GetWindow(menu, GW_HWNDNEXT);
    while (below && below != shadow) below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, shadow);
    EXPECT_RECT(t.menu.list.items[2]->rect, 0, 48, 96, 72);

    EXPECT_TRUE(HasStyle(menu, GWL_EXSTYLE, WS_EX_TOOLWINDOW, WS_EX_APPWINDOW));
    EXPECT_TRUE(HasStyle(menu, GWL_STYLE, WS_CLIPCHILDREN));
    EXPECT_TRUE(HasStyle(shadow, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW));
    EXPECT_EQ(testing_support::ClassOf(menu), L"ImageMenu");
    EXPECT_EQ(testing_support::ClassOf(shadow), L"ShadowCtrl");

    // The hot row is filled, and every caption is drawn in its box.
    SendMessageW(menu, WM_MOUSEMOVE, 0, At(50, 30));
    ASSERT_EQ(t.menu.list.hotItem, t.menu.list.items[1].get());

    testing_support::Bitmap32 shot(96, 72);
    testing_support::CaptureWindow(menu, shot);
    const unsigned hover = 0x9CD0FE, back = 0xEDF3FA;
    int dark[3] = {}, darkOutside = 0;
    // Where the hot row's caption has its dark pixels.
    int minX = 96, maxX = -1, minY = 72, maxY = -1;
    for (int y = 0; y < 72; ++y) {
        const int row = y / 24, top = row * 24;
        for (int x = 0; x < 96; ++x) {
            const unsigned px = Rgb(shot, x, y);
            // Every row's caption lies in its box (1, top + 3, 94, top + 23).
            const bool inBox = x >= 1 && x < 94 && y >= top + 3 && y < top + 23;
            // Outside the boxes only the fills; inside them anti-aliased glyph edges as well.
            if (DarkPixel(px) && inBox) {
                ++dark[row];
                if (row != 1) continue;
                minX = (std::min)(minX, x);
                maxX = (std::max)(maxX, x);
                minY = (std::min)(minY, y);
                maxY = (std::max)(maxY, y);
            } else if (DarkPixel(px)) {
                ++darkOutside;
            } else if (!inBox) {
                ASSERT_TRUE(testing_support::ColorNear(px, row == 1 ? hover : back))
                    << x << "," << y << " " << std::hex << px;
            }
        }
    }
    EXPECT_GT(dark[1], 10) << "the caption of the hot row is drawn";
    EXPECT_GT(dark[0], 10);
    EXPECT_EQ(darkOutside, 0);
    // Inside the hot row's caption box, what is not glyph is the hover fill.
    ExpectPixels(shot, {{2, 28, hover}}, 2);
    // The caption is centred: its dark pixels lie around the box's middle column and row.
    ASSERT_LE(minX, maxX);
    EXPECT_NEAR((minX + maxX) / 2.0, 47.0, 4.0);
    EXPECT_NEAR((minY + maxY) / 2.0, 37.0, 4.0);

    // Leaving the menu drops the hover fill.
    SendMessageW(menu, WM_MOUSELEAVE, 0, 0);
    testing_support::CaptureWindow(menu, shot);
    ExpectPixels(shot, {{95, 30, back}}, 2);

    // Showing again while the window exists makes nothing new: it moves and takes the rows' height.
    t.menu.list.items[1]->visible = false;
    t.menu.ShowAt(POINT{400, 300});
    EXPECT_EQ(t.menu.hwnd, menu);
    EXPECT_EQ(t.Shadow(), shadow);
    EXPECT_RECT(WindowRect(menu), 400, 300, 496, 348);
    EXPECT_RECT(WindowRect(shadow), 394, 294, 502, 354);

    // Same place, fewer rows: only the size changes, and the shadow still fits and every row
    // stays on view.
    t.menu.list.items[1]->visible = true;
    t.menu.ShowAt(POINT{400, 300});
    EXPECT_RECT(WindowRect(menu), 400, 300, 496, 372);
    EXPECT_RECT(WindowRect(shadow), 394, 294, 502, 378);
    EXPECT_EQ(t.menu.list.HitTest(POINT{10, 60}), t.menu.list.items[2].get());
    t.menu.list.items[1]->visible = false;

    // Dragged elsewhere by anyone, the shadow follows.
    SetWindowPos(menu, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_RECT(WindowRect(shadow), 44, 54, 152, 138);

    // No visible rows: 96 wide and 0 high.
    for (auto& item : t.menu.list.items) item->visible = false;
    t.menu.ShowAt(POINT{10, 10});
    EXPECT_RECT(WindowRect(menu), 10, 10, 106, 10);
}

TEST(Menu, DeactivationHidesMenuAndShadowAndKeepsTheRows)
{
    TestMenu t;
    HWND menu = t.Show(POINT{100, 100});
    HWND shadow = t.Shadow();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(menu) && IsWindowVisible(shadow); }));
    EXPECT_EQ(GetActiveWindow(), menu);

    // A plain window takes activation away from the menu.
    const UniqueWindow other = PlainWindow(0, WS_POPUP | WS_VISIBLE, 600, 600, 50, 50);
    SetActiveWindow(other.Get());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(menu) && !IsWindowVisible(shadow); }));
    EXPECT_TRUE(IsWindow(menu));
    EXPECT_TRUE(IsWindow(shadow));
    EXPECT_EQ(t.menu.list.items.size(), 3u);

    // Shown again: the same windows, the same rows.
    t.menu.ShowAt(POINT{120, 100});
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(menu) && IsWindowVisible(shadow); }));
    EXPECT_EQ(t.menu.hwnd, menu);
    EXPECT_EQ(t.menu.list.items.size(), 3u);

    // Without auto-hide the menu stays.
    t.menu.autoHide = false;
    SetActiveWindow(other.Get());
    ASSERT_TRUE(testing_support::PumpPosted());
    EXPECT_TRUE(IsWindowVisible(menu));
    EXPECT_TRUE(IsWindowVisible(shadow));
}

TEST(Menu, ClickThatDestroysTheMenuLeavesNoWindowsAndTheNextShowBuildsAnewEvenAtOnceAndLeaksNothing)
{
    TestMenu t;
    HWND menu = t.Show(POINT{300, 200});
    HWND shadow = t.Shadow();
    CShadowCtrl* shadowObject = t.menu.shadow.get();
    ASSERT_TRUE(IsWindow(menu));

    SendMessageW(menu, WM_LBUTTONUP, 0, At(40, 30));
    EXPECT_EQ(t.clicked, 10012);
    EXPECT_FALSE(IsWindow(menu));
    EXPECT_EQ(t.menu.hwnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(shadow));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(shadow); }));
    EXPECT_TRUE(t.menu.list.items.empty());

    EXPECT_TRUE(IsWindow(t.Show(POINT{300, 200})));
    EXPECT_TRUE(IsWindow(t.Shadow()));
    EXPECT_EQ(t.menu.shadow.get(), shadowObject) << "the shadow object survives";
    EXPECT_EQ(t.menu.list.items.size(), 3u);
    EXPECT_RECT(WindowRect(t.menu.hwnd), 300, 200, 396, 272);
    EXPECT_RECT(t.menu.list.items[0]->rect, 0, 0, 96, 24);

    // Shown again right after such a click, while the old shadow window is hidden and has
    // WM_CLOSE queued: the new menu and its shadow survive that close.
    SendMessageW(t.menu.hwnd, WM_LBUTTONUP, 0, At(40, 5));
    ASSERT_EQ(t.menu.hwnd, nullptr);
    menu = t.Show(POINT{310, 210}, 2);
    ASSERT_TRUE(IsWindow(menu));
    ASSERT_TRUE(testing_support::PumpPosted());
    EXPECT_TRUE(IsWindow(menu));
    EXPECT_TRUE(IsWindowVisible(menu));
    EXPECT_TRUE(IsWindow(t.Shadow()));
    EXPECT_EQ(GetWindow(menu, GW_OWNER), t.Shadow());

    // Two hundred open, click and destroy cycles leak nothing.
    EXPECT_TRUE(testing_support::LeavesNothingBehind(1, 200, [&](int i) {
        HWND shown = t.Show(POINT{100 + i % 50, 100});
        SendMessageW(shown, WM_MOUSEMOVE, 0, At(20, 5 + 24 * (i % 3)));
        UpdateWindow(shown);
        HWND shadow = t.Shadow();
        SendMessageW(shown, WM_LBUTTONUP, 0, At(20, 5 + 24 * (i % 3)));
        PumpUntil([&] { return !IsWindow(shadow); }, 2000);
    }));
    EXPECT_FALSE(IsWindow(t.Shadow()));
    EXPECT_EQ(t.menu.hwnd, nullptr);
}

TEST(Menu, RandomPointerAndShowSequencesKeepMenuAndShadowConsistent)
{
    TestMenu t;
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int destroyed = 0;
    for (int step = 0; step < 1500; ++step) {
        if (!t.menu.hwnd) t.Fill(1 + pick(4));
        t.destroyOnClick = pick(4) == 0;
        const LPARAM at = At(pick(140) - 20, pick(140) - 20);
        switch (pick(8)) {
        case 0: t.menu.ShowAt(POINT{pick(800), pick(600)}); break;
        case 1: if (t.menu.hwnd) SendMessageW(t.menu.hwnd, WM_MOUSEMOVE, 0, at); break;
        case 2:
            if (t.menu.hwnd) {
                SendMessageW(t.menu.hwnd, WM_LBUTTONUP, 0, at);
                if (!t.menu.hwnd) ++destroyed;
            }
            break;
        case 3: if (t.menu.hwnd) SendMessageW(t.menu.hwnd, WM_MOUSELEAVE, 0, 0); break;
        case 4: if (t.menu.hwnd) ShowWindow(t.menu.hwnd, pick(2) ? SW_HIDE : SW_SHOW); break;
        case 5:
            if (!t.menu.list.items.empty()) {
                auto& item = t.menu.list.items[pick(static_cast<int>(t.menu.list.items.size()))];
                item->visible = !item->visible;
            }
            break;
        case 6:
            if (t.menu.hwnd) {
                InvalidateRect(t.menu.hwnd, nullptr, TRUE);
                UpdateWindow(t.menu.hwnd);
            }
            break;
        default: testing_support::PumpQueued(); break;
        }
        if (t.menu.hwnd && IsWindowVisible(t.menu.hwnd)) {
            const RECT m = WindowRect(t.menu.hwnd);
            ASSERT_EQ(m.right - m.left, 96);
            ASSERT_TRUE(SameRect(WindowRect(t.Shadow()), ShadowRectFor(m, 6)) || m.right == m.left)
                << "step " << step;
        }
        if (t.menu.list.hotItem) {
            bool listed = false;
            for (auto& item : t.menu.list.items) listed |= item.get() == t.menu.list.hotItem;
            ASSERT_TRUE(listed) << "step " << step;
        }
    }
    EXPECT_GT(destroyed, 2) << "the sequence went through click-and-destroy";
}

}  // namespace
