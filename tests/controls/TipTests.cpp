// The tooltip: timer 1100, measuring and placement at the pointer, painting, and the show and
// hide operations its users call.
#include "CImageTipCtrl.h"
#include "Desktops.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace painter_test;
using testing_support::PumpUntil;
using testing_support::RectIs;
using testing_support::WindowRect;

struct Tip {
    CImageTipCtrl tip;
    POINT cursor = {400, 300};
    Tip()
    {
        tip.cursorSource = [this] { return cursor; };
        tip.Create(0, L"ToolTip", nullptr, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr);
    }
    ~Tip()
    {
        if (tip.hwnd) DestroyWindow(tip.hwnd);
    }
    RECT Rect() const { return WindowRect(tip.hwnd); }
};

TEST(Tip, TimerShowsOnlyWithTextAndForItsIdPaintsItAndMeasuresLongTextInsideThe500By200Box)
{
    Tip t;
    HWND h = t.tip.hwnd;
    ASSERT_TRUE(IsWindow(h));
    SetTimer(h, 1100, 100000, nullptr);
    SendMessageW(h, WM_TIMER, 1101, 0);
    EXPECT_TRUE(KillTimer(h, 1100)) << "another id leaves timer 1100 running";

    SetTimer(h, 1100, 100000, nullptr);
    SendMessageW(h, WM_TIMER, 1100, 0);
    EXPECT_FALSE(KillTimer(h, 1100)) << "timer 1100 fires once per start";
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_TRUE(RectIs(t.Rect(), RECT{0, 0, 0, 0}));

    t.tip.SetText(L"hello");
    SendMessageW(h, WM_TIMER, 1101, 0);
    EXPECT_FALSE(IsWindowVisible(h));

    // With text, timer 1100 shows it: background, text and border.
    t.tip.SetText(L"Full screen");
    SendMessageW(h, WM_TIMER, 1100, 0);
    RECT client = {};
    GetClientRect(h, &client);
    ASSERT_GT(client.right, 10);
    testing_support::Bitmap32 shot(client.right, client.bottom);
    t.tip.DrawTip(shot.dc, client);
    GdiFlush();
    const int width = client.right, height = client.bottom;
    // The border on three sides, and the background just inside it.
    const unsigned border = 0x8A8A8A, back = 0xFCFCFC;
    ExpectPixels(shot, {{0, 0, border}, {width - 1, height / 2, border},
                        {width / 2, height - 1, border}, {1, 1, back}, {width - 2, 1, back}});
    auto dark = [&](int x, int y) { return (shot.At(x, y) & 0xFF) < 0x60; };
    EXPECT_GT(CountWhere(RECT{2, 2, width - 2, height - 2}, dark), 10) << "the text is drawn";

    // Long text is measured inside the 500 x 200 box.
    std::wstring text;
    for (int i = 0; i < 40; ++i) text += L"word" + std::to_wstring(i) + L" ";
    t.tip.SetText(text.c_str());
    EXPECT_EQ(wcslen(t.tip.text), text.size() < 259 ? text.size() : 259u);
    const SIZE s = t.tip.MeasureText();
    EXPECT_GT(s.cx, 300);
    EXPECT_LE(s.cx, 500);
    EXPECT_LE(s.cy, 200);
    SendMessageW(h, WM_TIMER, 1100, 0);
    const RECT r = t.Rect();
    EXPECT_LE(r.right - r.left, 505);
    EXPECT_LE(r.bottom - r.top, 204);
    EXPECT_GT(r.bottom - r.top, 30) << "the text wraps onto several lines";

    // Text written straight into the buffer without a terminator is read up to its end only.
    for (wchar_t& c : t.tip.text) c = L'x';
    const SIZE full = t.tip.MeasureText();
    EXPECT_GT(full.cx, 0);
    EXPECT_LE(full.cx, 500);

    // Without an injected source the tip follows the real pointer.
    t.tip.HideTip();
    t.tip.cursorSource = nullptr;
    t.tip.SetText(L"Tools");
    SetCursorPos(333, 222);
    POINT before = {}, after = {};
    GetCursorPos(&before);
    SendMessageW(h, WM_TIMER, 1100, 0);
    GetCursorPos(&after);
    ASSERT_TRUE(before.x == after.x && before.y == after.y) << "the pointer moved meanwhile";
    EXPECT_TRUE(testing_support::PointIs(POINT{t.Rect().left, t.Rect().top},
                                         POINT{before.x + 15, before.y + 15}));
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST(Tip, ShowTipAppearsAtThePointerSizedToItsTextInsideTheWorkAreaHideTipHidesItAndCyclesLeakNothing)
{
    Tip t;
    HWND h = t.tip.hwnd;
    ASSERT_TRUE(IsWindow(h));
    HWND active = GetActiveWindow();
    t.tip.ShowTip(L"Refresh the page", 20);
    EXPECT_FALSE(IsWindowVisible(h)) << "not before its delay";
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(h) != FALSE; }));
    EXPECT_EQ(GetActiveWindow(), active) << "the tip takes no activation";
    const SIZE measured = t.tip.MeasureText();
    EXPECT_GT(measured.cx, 20);
    EXPECT_GT(measured.cy, 5);
    EXPECT_LT(measured.cy, 40);
    EXPECT_TRUE(RectIs(t.Rect(), RECT{415, 315, 415 + measured.cx + 5, 315 + measured.cy + 4}));
    // The rule: at the pointer plus 15, the text's size plus 5 x 4.
    EXPECT_TRUE(RectIs(TipRectFor(POINT{100, 200}, SIZE{120, 14}), RECT{115, 215, 240, 233}));
    // Kept inside the work area, on the other side of the pointer when needed.
    using namespace desktops;
    struct Case {
        const char* what;
        const Monitor& m;
        POINT cursor;
        RECT want;
    } cases[] = {
        {"room right of and below the pointer", kBottomBar, {100, 200}, {115, 215, 240, 233}},
        {"near the right edge", kBottomBar, {1850, 500}, {1723, 515, 1848, 533}},
        {"near the bottom bar", kBottomBar, {500, 1030}, {515, 1010, 640, 1028}},
        {"bottom-right corner", kBottomBar, {1919, 1039}, {1792, 1019, 1917, 1037}},
        {"top-left corner", kBottomBar, {0, 0}, {15, 15, 140, 33}},
        {"top-right corner", kBottomBar, {1919, 0}, {1792, 15, 1917, 33}},
        {"bottom-left corner", kBottomBar, {0, 1039}, {15, 1019, 140, 1037}},
        {"pointer on a top bar", kTopBar, {500, 10}, {515, 40, 640, 58}},
        {"pointer on a left bar", kLeftBar, {10, 500}, {60, 515, 185, 533}},
        {"near a right bar", kRightBar, {1800, 500}, {1673, 515, 1798, 533}},
        {"second monitor at the left, its right edge", kLeftSecond, {-50, 500}, {-177, 515, -52, 533}},
        {"its bottom-left corner", kLeftSecond, {-1920, 1039}, {-1905, 1019, -1780, 1037}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(RectIs(TipRectFor(c.cursor, SIZE{120, 14}, c.m.work), c.want)) << c.what;

    // Longer text, longer tip; the text of the moment of showing counts.
    t.cursor = POINT{50, 60};
    t.tip.ShowTip(L"Refresh the page and clear the cache", 1);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(h) && t.Rect().left == 65; }));
    const SIZE longer = t.tip.MeasureText();
    EXPECT_GT(longer.cx, measured.cx);
    EXPECT_TRUE(RectIs(t.Rect(), RECT{65, 75, 65 + longer.cx + 5, 75 + longer.cy + 4}));

    // The same text again leaves the tip on screen.
    t.tip.ShowTip(L"Refresh the page and clear the cache", 1);
    EXPECT_TRUE(IsWindowVisible(h));
    t.tip.HideTip();
    EXPECT_FALSE(IsWindowVisible(h));
    // A hide before the delay ends stops the pending show.
    t.tip.ShowTip(L"later", 30);
    t.tip.HideTip();
    ASSERT_TRUE(testing_support::PumpUntilTimer(60)) << "a timer due after the show's delay";
    EXPECT_FALSE(IsWindowVisible(h));

    // Two hundred show and hide cycles leak nothing.
    auto cycle = [&](int i) {
        t.cursor = POINT{100 + i, 100};
        t.tip.ShowTip(i % 2 ? L"Minimise" : L"Close the game", 1);
        PumpUntil([&] { return IsWindowVisible(h) != FALSE; }, 2000);
        UpdateWindow(h);
        t.tip.HideTip();
    };
    EXPECT_TRUE(testing_support::LeavesNothingBehind(1, 200, cycle));

    // The window's resources go with it; the text stays in the object.
    const long live = GdipLiveObjects().load();
    DestroyWindow(h);
    EXPECT_EQ(GdipLiveObjects().load(), live - 4);
    EXPECT_STREQ(t.tip.text, L"Close the game");

}

}  // namespace
