// The game window's title bar: anchored places, click actions, the title text's pixels, the
// tools menu and the tooltips, all on the real game window in its game view.
#include "CImageItem.h"
#include "CImageStatic.h"
#include "ClientTestUtil.h"
#include "Desktops.h"
#include "OperatorSite.h"
#include "TitleBar.h"
#include "UrlCache.h"
#include "WebLinks.h"

#include <string>
#include <vector>

using namespace client_test;

using TitleBar = GameViewTest;
using ToolsMenuTest = GameViewTest;
using TitleTipsTest = GameViewTest;

namespace {

struct Expected {
    int id;
    int fromRight;  // right edge is W - fromRight
    int width, top, bottom;
};

// Lit (bright) pixels of a rendering on a dark ground.
struct Lit {
    int minX = 100000, maxX = -1, minY = 100000, maxY = -1, count = 0;
};

Lit FindLit(const Bitmap32& b, int x0, int x1, int y0 = 0, int y1 = -1)
{
    Lit lit;
    for (int y = y0; y < (y1 < 0 ? b.height : y1); ++y) {
        for (int x = x0; x < x1; ++x) {
            if (((b.At(x, y) >> 8) & 0xFF) > 128) {
                lit.minX = (std::min)(lit.minX, x);
                lit.maxX = (std::max)(lit.maxX, x);
                lit.minY = (std::min)(lit.minY, y);
                lit.maxY = (std::max)(lit.maxY, y);
                ++lit.count;
            }
        }
    }
    return lit;
}

}  // namespace

TEST_F(TitleBar, ElementsFollowTheRightEdgeAt1020And1920)
{
    // Maximised: restore shows, maximise waits; the tools menu names the boss key registered.
    EXPECT_TRUE(Button(40)->visible);
    EXPECT_FALSE(Button(30)->visible);
    EXPECT_EQ(game.tools.bossKeyLabel, L"老板键(Alt+D)");
    const Expected expected[] = {
        {10, 1, 25, 0, 25},     {30, 25, 25, 0, 25},    {40, 25, 25, 0, 25},
        {20, 50, 25, 0, 25},    {10017, 75, 25, 0, 25}, {10013, 100, 25, 0, 25},
        {10020, 125, 41, 2, 24}, {10021, 170, 41, 2, 24}, {10022, 215, 41, 2, 24},
        {10023, 260, 41, 2, 24},
    };
    for (int W : {1020, 1920}) {
        SCOPED_TRACE(W);
        windows.Restore(0, 0, W, 704);
        ASSERT_EQ(game.painter.buttons.size(), 10u);
        for (size_t i = 0; i < 10; ++i) {
            const Expected& e = expected[i];
            const CImageButton* b = game.painter.buttons[i].get();
            EXPECT_EQ(b->id, e.id) << "drawing order";
            EXPECT_TRUE(RectIs(b->rect, {W - e.fromRight - e.width, e.top, W - e.fromRight, e.bottom}))
                << "button " << e.id;
        }
        const CImageStatic* background = game.painter.FindStatic(10011);
        ASSERT_TRUE(background);
        EXPECT_TRUE(RectIs(background->rect, {0, 0, W, 25}));
        EXPECT_TRUE(background->cleanStretch);
        const CImageStatic* icon = game.painter.FindStatic(10012);
        ASSERT_TRUE(icon);
        EXPECT_TRUE(RectIs(icon->rect, {5, 5, 21, 21}));
        EXPECT_FALSE(icon->cleanStretch);
        EXPECT_TRUE(icon->image);
        EXPECT_TRUE(background->image);
    }
    windows.Restore(0, 0, 1020, 704);
    // The quick links run from x 719 to x 895, where the tools button begins; close ends at 1019.
    EXPECT_EQ(Button(10023)->rect.left, 719);
    EXPECT_EQ(Button(10020)->rect.right, 895);
    EXPECT_EQ(Button(10013)->rect.left, 895);
    EXPECT_EQ(Button(10)->rect.right, 1019);
    EXPECT_LT(title_bar::kTextLeft + title_bar::kTextWidth, 719.0f);

    // Captions are kept but never drawn; pictures are loaded.
    const std::pair<int, const wchar_t*> captions[] = {
        {30, L"最大化"}, {40, L"还原"}, {20, L"最小化"}, {10017, L"全屏(F10)"}, {10013, L"工具"}};
    for (const auto& c : captions) {
        const CImageButton* b = Button(c.first);
        EXPECT_STREQ(b->text, c.second);
        EXPECT_FALSE(b->showText);
        EXPECT_TRUE(b->images[0] && b->images[1] && b->images[2]) << c.first;
    }
    for (int id : {10020, 10021, 10022, 10023}) {
        const CImageButton* b = Button(id);
        EXPECT_TRUE(b->strip) << id;
        EXPECT_TRUE(b->images[0]) << id;
        EXPECT_EQ(b->rect.right - b->rect.left, 41);
    }
    // The built-in maximise/restore swaps the two buttons.
    game.painter.ToggleMaximize();
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(game.hwnd) != FALSE; }));
    EXPECT_TRUE(Button(40)->visible && !Button(30)->visible);
}

TEST_F(TitleBar, ClickActionsThroughTheGameWindowAndThroughThePointer)
{
    ShellRecorder shell;
    for (int id : {10020, 10021, 10022, 10023}) EXPECT_TRUE(game.OnButtonClick(Button(id)));
    const std::vector<std::wstring> want = {
        operator_site::Address(L"/url-zelk-kf.html"), operator_site::Address(L"/url-zelk-www.html"),
        operator_site::Address(L"/url-zelk-www.html"), operator_site::Address(L"/url-zelk-pay.html")};
    EXPECT_EQ(shell.opened, want);
    EXPECT_FALSE(IsWindow(game.toolsMenu.hwnd));

    // Minimise, maximise and restore leave the action to the painter.
    for (int id : {20, 30, 40}) EXPECT_TRUE(game.OnButtonClick(Button(id))) << id;
    EXPECT_FALSE(IsWindow(game.toolsMenu.hwnd));
    ShowWindow(game.hwnd, SW_SHOWMAXIMIZED);

    // Full screen: a command the window carries out, and leaves again.
    EXPECT_TRUE(game.OnButtonClick(Button(10017)));
    EXPECT_TRUE(PumpUntil([&] { return game.fullScreen; }, 2000));
    PostMessageW(game.hwnd, WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    EXPECT_TRUE(PumpUntil([&] { return !game.fullScreen; }, 2000));

    // The pointer's clicks reach the same actions through the painter.
    auto click = [&](int id) {
        const POINT p = Centre(Button(id)->rect);
        MoveTo(game.hwnd, p);
        SendMessageW(game.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(game.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    };
    click(10017);
    EXPECT_TRUE(PumpUntil([&] { return game.fullScreen; }, 2000));
    SendMessageW(game.hwnd, WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);

    click(10013);
    ASSERT_TRUE(IsWindow(game.toolsMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(game.toolsMenu.hwnd) != FALSE; }));
    EXPECT_EQ(game.toolsMenu.list.items.size(), 3u);
    EXPECT_FALSE(IsWindowVisible(game.toolTip.hwnd)) << "the click hid the tooltip";
}

TEST_F(TitleBar, TitleIsDrawnOnlyInTheGameViewEndsWithAnEllipsisWhenTooLongAndIsOnTheScreen)
{
    Bitmap32 b(700, 30);
    auto render = [&](const wchar_t* text, bool gameView) {
        b.Fill(0xFF000000);
        Gdiplus::Graphics g(b.dc);
        title_bar::DrawTitleText(g, text, game.titleFont.Get(), game.titleBrush.Get(), gameView);
    };
    render(L"Harrowmere Keep", false);
    EXPECT_EQ(FindLit(b, 0, 700).count, 0) << "no title outside the game view";

    render(L"Harrowmere Keep", true);
    const Lit shortTitle = FindLit(b, 0, 700);
    ASSERT_GT(shortTitle.count, 20) << "title text drawn";
    EXPECT_GE(shortTitle.minX, 22);
    EXPECT_LT(shortTitle.maxX, 300);
    EXPECT_GE(shortTitle.minY, 4);
    EXPECT_LE(shortTitle.maxY, 24);

    std::wstring longTitle;
    for (int i = 0; i < 40; ++i) longTitle += L"Harrowmere Keep ";
    render(longTitle.c_str(), true);
    const Lit all = FindLit(b, 0, 700);
    EXPECT_LE(all.maxX, 522) << "nothing beyond the 500-pixel layout";
    EXPECT_GT(all.maxX, 400) << "the line is filled nearly to its end";
    EXPECT_GE(all.minY, 4);
    EXPECT_LE(all.maxY, 24) << "one line only";
    // The last few lit columns are the ellipsis: dots, much flatter than the letters before.
    const Lit tail = FindLit(b, all.maxX - 7, all.maxX + 1);
    EXPECT_LE(tail.maxY - tail.minY, 3) << "the line ends in dots";
    EXPECT_GE(all.maxY - all.minY, 7) << "letters are taller";

    // The cut falls after a whole word; CJK text may be cut after any character.
    Gdiplus::Graphics g(b.dc);
    const Gdiplus::Font* font = game.titleFont.Get();
    const std::wstring fitted = title_bar::FitTitle(g, longTitle.c_str(), font, 500);
    ASSERT_GT(fitted.size(), 10u);
    EXPECT_EQ(fitted.back(), L'…');
    const std::wstring kept = fitted.substr(0, fitted.size() - 1);
    EXPECT_EQ(longTitle.compare(0, kept.size(), kept), 0);
    EXPECT_TRUE(kept.size() >= 4 && (kept.compare(kept.size() - 4, 4, L"Keep") == 0 ||
                                     kept.compare(kept.size() - 10, 10, L"Harrowmere") == 0))
        << "cut at a word boundary";
    EXPECT_EQ(title_bar::FitTitle(g, L"Harrowmere Keep", font, 500), L"Harrowmere Keep");
    const std::wstring cjkFitted = title_bar::FitTitle(g, std::wstring(120, L'湖').c_str(), font, 500);
    EXPECT_EQ(cjkFitted.back(), L'…');
    EXPECT_GT(cjkFitted.size(), 20u);
    EXPECT_LT(cjkFitted.size(), 60u);
    // One word longer than the line is cut inside the word.
    const std::wstring wordFitted = title_bar::FitTitle(g, std::wstring(200, L'W').c_str(), font, 500);
    EXPECT_EQ(wordFitted.back(), L'…');
    EXPECT_GT(wordFitted.size(), 10u);

    // What WM_PAINT put on the screen of the shown window, read back from the screen.
    Bitmap32 bar(600, 25);
    auto paint = [&](const wchar_t* title) {
        wcscpy(game.titleText, title);
        InvalidateRect(game.hwnd, nullptr, FALSE);
        CaptureScreenOf(game.hwnd, bar);
    };
    paint(L"");
    const int bare = FindLit(bar, 22, 522).count;
    const int iconBare = FindLit(bar, 0, 22).count;
    Lit text;
    EXPECT_TRUE(PumpUntil([&] {
        paint(L"HHHHHHHHHH");
        text = FindLit(bar, 22, 522);
        return text.count > bare + 20;
    }, 3000)) << "title text on the screen: " << text.count << " lit, " << bare << " without it";
    EXPECT_GE(text.minY, 4);
    EXPECT_LE(text.maxY, 24);
    EXPECT_EQ(FindLit(bar, 0, 22).count, iconBare) << "the icon is left as it was";
}

TEST_F(ToolsMenuTest, OpensUnderTheTitleBarAtThePointerIsReusedItsRowsActAndCloseItAndLeakNothing)
{
    const RECT window = WindowRect(game.hwnd);
    PutCursor(400, 300);
    game.tools.Open(game.hwnd);
    ASSERT_TRUE(IsWindow(game.toolsMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(game.toolsMenu.hwnd) != FALSE; }));
    EXPECT_TRUE(RectIs(WindowRect(game.toolsMenu.hwnd),
                       {390, window.top + 30, 390 + 96, window.top + 30 + 72}));
    EXPECT_EQ(ClassOf(game.toolsMenu.hwnd), L"pelvar_menu");
    const MenuRows rows = {{10014, L"清除缓存"}, {10015, L"刷新"}, {10016, L"老板键(Alt+D)"}};
    EXPECT_EQ(RowsOf(game.toolsMenu.list), rows);
    // Opened again while it is still there: same window, same rows, new place.
    const HWND first = game.toolsMenu.hwnd;
    PutCursor(700, 200);
    game.tools.Open(game.hwnd);
    EXPECT_EQ(game.toolsMenu.hwnd, first);
    EXPECT_EQ(RowsOf(game.toolsMenu.list), rows);
    EXPECT_EQ(WindowRect(game.toolsMenu.hwnd).left, 690);
    EXPECT_EQ(WindowRect(game.toolsMenu.hwnd).top, window.top + 30);

    // Each row does its action and closes the menu.
    int refreshes = 0;
    game.tools.refresh = [&] { ++refreshes; };
    std::vector<HWND> clearings;
    game.tools.startClearing = [&](HWND owner) {
        clearings.push_back(owner);
        return true;
    };
    // The boss-key row only closes the menu.
    PutCursor(300, 200);
    game.tools.Open(game.hwnd);
    ClickRow(game.toolsMenu.hwnd, 2);
    EXPECT_FALSE(IsWindow(game.toolsMenu.hwnd));
    EXPECT_TRUE(IsWindowVisible(game.hwnd));
    EXPECT_FALSE(game.bossHidden);
    EXPECT_EQ(refreshes, 0);
    EXPECT_TRUE(clearings.empty());
    EXPECT_TRUE(game.toolsMenu.list.items.empty()) << "rows go with the window";

    game.tools.Open(game.hwnd);
    ASSERT_EQ(game.toolsMenu.list.items.size(), 3u) << "rebuilt after the click destroyed it";
    ClickRow(game.toolsMenu.hwnd, 1);
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(IsWindow(game.toolsMenu.hwnd));

    game.tools.Open(game.hwnd);
    ClickRow(game.toolsMenu.hwnd, 0);
    ASSERT_EQ(clearings.size(), 1u);
    EXPECT_EQ(clearings[0], game.hwnd);
    EXPECT_FALSE(IsWindow(game.toolsMenu.hwnd));

    // The real clearing: its message box belongs to the game window.
    game.tools.startClearing = nullptr;
    game.tools.Open(game.hwnd);
    ClickRow(game.toolsMenu.hwnd, 0);
    ASSERT_TRUE(PumpUntil([] { return MessageBoxes().size() == 1; }, 10000));
    const HWND box = MessageBoxes()[0];
    EXPECT_EQ(GetWindow(box, GW_OWNER), game.hwnd);
    AnswerBox(box, IDOK);
    EXPECT_TRUE(PumpUntil([] { return !cacheBusy.load() && MessageBoxes().empty(); }));

    // The tools button itself opens the menu through the click path.
    PutCursor(500, 95);
    EXPECT_TRUE(game.OnButtonClick(Button(10013)));
    EXPECT_TRUE(IsWindow(game.toolsMenu.hwnd));
    EXPECT_EQ(WindowRect(game.toolsMenu.hwnd).left, 490);

    // A hundred openings with row clicks leak nothing.
    refreshes = 0;
    game.tools.startClearing = [](HWND) { return true; };
    EXPECT_TRUE(LeavesNothingBehind(1, 100, [&](int i) {
        PutCursor(300 + i % 40, 200);
        game.tools.Open(game.hwnd);
        HWND shadow = game.toolsMenu.shadow ? game.toolsMenu.shadow->hwnd : nullptr;
        UpdateWindow(game.toolsMenu.hwnd);
        ClickRow(game.toolsMenu.hwnd, i % 3);
        PumpUntil([&] { return !IsWindow(shadow); }, 2000);
    }));
    EXPECT_EQ(refreshes, 33 + 1);
}

TEST(ToolsMenu, PlacedUnderTheTitleBarAndInsideTheWorkAreaOnEveryEdgeAndMonitor)
{
    using namespace desktops;
    const RECT maximised = {0, 0, 1920, 1040};
    struct Case {
        const char* what;
        const Monitor& m;
        RECT window;
        POINT cursor, want;
    } cases[] = {
        {"at the tools button", kBottomBar, maximised, {1812, 12}, {1802, 30}},
        {"window partly above the screen", kBottomBar, {-5, 17, 900, 700}, {50, 999}, {40, 47}},
        {"right edge: left of the pointer", kBottomBar, {900, 100, 1920, 804}, {1900, 110}, {1814, 130}},
        {"bottom edge: above the window", kBottomBar, {0, 1000, 1020, 1704}, {500, 1010}, {490, 928}},
        {"top bar", kTopBar, {0, 40, 1920, 1080}, {1812, 52}, {1802, 70}},
        {"left bar", kLeftBar, {60, 0, 1080, 704}, {62, 10}, {60, 30}},
        {"right bar", kRightBar, {0, 0, 1860, 1080}, {1855, 10}, {1764, 30}},
        {"top-left corner", kBottomBar, {-500, -20, 520, 684}, {0, 0}, {0, 10}},
        {"bottom-right corner", kBottomBar, {900, 1030, 1920, 1734}, {1919, 1039}, {1824, 958}},
        {"second monitor at the left", kLeftSecond, {-1920, 0, 0, 1040}, {-108, 12}, {-118, 30}},
        {"its right edge", kLeftSecond, {-1920, 0, 0, 1040}, {-5, 12}, {-96, 30}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(PointIs(ToolsMenu::Place(c.cursor, c.window, SIZE{96, 72}, c.m.work), c.want)) << c.what;
}

TEST_F(TitleTipsTest, CaptionShowsAfterARestHidesOnLeaveAndClickAndLeaksNothing)
{
    ASSERT_TRUE(IsWindow(game.toolTip.hwnd));
    const HWND tip = game.toolTip.hwnd;
    auto shownOver = [&](int id) {
        MoveTo(game.hwnd, Centre(Button(id)->rect));
        return PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000);
    };
    // Pointer onto a button, and on past the tip's delay: whether a tip came up meanwhile.
    auto tipAfterRest = [&](int id) {
        MoveTo(game.hwnd, Centre(Button(id)->rect));
        EXPECT_TRUE(PumpUntilTimer(TitleTips::kDelayMs + 200));
        return IsWindowVisible(tip) != FALSE;
    };

    // Nearly the whole delay after the pointer arrived there is no tip yet.
    const POINT tools = Centre(Button(10013)->rect);
    ASSERT_TRUE(PumpUntilTimer(TitleTips::kDelayMs - 100, [&] { MoveTo(game.hwnd, tools); }));
    EXPECT_FALSE(IsWindowVisible(tip)) << "only after the pointer rested";
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000));
    EXPECT_STREQ(game.toolTip.text, L"工具");

    // Onto the bar beside the buttons: hidden.
    MoveTo(game.hwnd, POINT{300, 12});
    EXPECT_FALSE(IsWindowVisible(tip));

    ASSERT_TRUE(shownOver(10017));
    EXPECT_STREQ(game.toolTip.text, L"全屏(F10)");
    // A press hides it, and it stays hidden while the pointer stays on that button.
    const POINT full = Centre(Button(10017)->rect);
    SendMessageW(game.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(full.x, full.y));
    EXPECT_FALSE(IsWindowVisible(tip));
    ReleaseCapture();
    game.painter.captured = false;
    game.painter.leftPressed = false;
    EXPECT_FALSE(tipAfterRest(10017));
    game.titleTips.OnHover(game.toolTip, Button(10017));  // reported again, as after a release
    EXPECT_FALSE(tipAfterRest(10017));

    // Leaving the window hides it.
    ASSERT_TRUE(shownOver(20));
    EXPECT_STREQ(game.toolTip.text, L"最小化");
    SendMessageW(game.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));

    // Quick links and close carry no tip.
    for (int id : {10021, 10}) EXPECT_FALSE(tipAfterRest(id)) << id;

    // A hundred showings leave nothing behind.
    game.titleTips.delayMs = 1;
    const int ids[] = {30, 40, 20, 10017, 10013};
    int shown = 0;
    EXPECT_TRUE(LeavesNothingBehind(1, 100, [&](int i) {
        game.titleTips.OnHover(game.toolTip, Button(ids[i % 5]));
        const bool visible =
            PumpUntil([&] { return IsWindowVisible(game.toolTip.hwnd) != FALSE; }, 2000);
        UpdateWindow(game.toolTip.hwnd);
        game.titleTips.OnMouseMessage(game.toolTip, WM_MOUSELEAVE, nullptr);
        if (visible && !IsWindowVisible(game.toolTip.hwnd)) ++shown;
    }));
    EXPECT_EQ(shown, 101) << "every showing, the first one's included";
}

