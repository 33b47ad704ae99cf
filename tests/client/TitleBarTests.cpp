// The title bar on a real window: anchored places, click actions, the title text's pixels, the
// tools menu and the tooltips.
#include "CImageButton.h"
#include "CImageItem.h"
#include "CImageStatic.h"
#include "GameMessages.h"
#include "GameViewTestUtil.h"
#include "OperatorSite.h"
#include "TestSupport.h"
#include "TitleBar.h"
#include "UrlCache.h"
#include "WebLinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace gameview_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

std::string Str(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

RECT WindowRectOf(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

void Resize(GameWindow& w, int width, int height)
{
    MoveWindow(w.hwnd, 0, 0, width, height, TRUE);
    PumpFor(20);
}

// The cursor, set so that late pointer events of other windows cannot move it back.
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

struct Expected {
    int id;
    int fromRight;  // right edge is W - fromRight
    int width, top, bottom;
};

}  // namespace

TEST(TitleBar, ElementsFollowTheRightEdgeAt1020And1920)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    const Expected expected[] = {
        {10, 1, 25, 0, 25},     {30, 25, 25, 0, 25},    {40, 25, 25, 0, 25},
        {20, 50, 25, 0, 25},    {10017, 75, 25, 0, 25}, {10013, 100, 25, 0, 25},
        {10020, 125, 41, 2, 24}, {10021, 170, 41, 2, 24}, {10022, 215, 41, 2, 24},
        {10023, 260, 41, 2, 24},
    };
    for (int W : {1020, 1920}) {
        SCOPED_TRACE(W);
        Resize(w, W, 704);
        ASSERT_EQ(w.painter.buttons.size(), 10u);
        for (size_t i = 0; i < 10; ++i) {
            const Expected& e = expected[i];
            const CImageButton* b = w.painter.buttons[i].get();
            EXPECT_EQ(b->id, e.id) << "drawing order";
            const RECT want = {W - e.fromRight - e.width, e.top, W - e.fromRight, e.bottom};
            EXPECT_EQ(Str(b->rect), Str(want)) << "button " << e.id;
        }
        const CImageStatic* background = w.painter.FindStatic(10011);
        ASSERT_TRUE(background);
        EXPECT_EQ(Str(background->rect), Str(RECT{0, 0, W, 25}));
        EXPECT_TRUE(background->cleanStretch);
        const CImageStatic* icon = w.painter.FindStatic(10012);
        ASSERT_TRUE(icon);
        EXPECT_EQ(Str(icon->rect), "5,5,21,21");
        EXPECT_FALSE(icon->cleanStretch);
        EXPECT_TRUE(icon->image);
        EXPECT_TRUE(background->image);
    }
    Resize(w, 1020, 704);
    // The quick links run from x 719 to x 895, where the tools button begins; close ends at 1019.
    EXPECT_EQ(w.painter.FindButton(10023)->rect.left, 719);
    EXPECT_EQ(w.painter.FindButton(10020)->rect.right, 895);
    EXPECT_EQ(w.painter.FindButton(10013)->rect.left, 895);
    EXPECT_EQ(w.painter.FindButton(10)->rect.right, 1019);
    EXPECT_LT(title_bar::kTextLeft + title_bar::kTextWidth, 719.0f);

    // Only restore shows at first; captions are kept but never drawn; pictures are loaded.
    EXPECT_FALSE(w.painter.FindButton(30)->visible);
    EXPECT_TRUE(w.painter.FindButton(40)->visible);
    const std::pair<int, const wchar_t*> captions[] = {
        {30, L"最大化"}, {40, L"还原"}, {20, L"最小化"}, {10017, L"全屏(F10)"}, {10013, L"工具"}};
    for (const auto& c : captions) {
        const CImageButton* b = w.painter.FindButton(c.first);
        EXPECT_STREQ(b->text, c.second);
        EXPECT_FALSE(b->showText);
        EXPECT_TRUE(b->images[0]) << c.first;
        EXPECT_TRUE(b->images[1]) << c.first;
        EXPECT_TRUE(b->images[2]) << c.first;
    }
    for (int id : {10020, 10021, 10022, 10023}) {
        const CImageButton* b = w.painter.FindButton(id);
        EXPECT_TRUE(b->strip) << id;
        EXPECT_TRUE(b->images[0]) << id;
        EXPECT_EQ(b->rect.right - b->rect.left, 41);
    }
    // The built-in maximise/restore swaps the two buttons.
    w.painter.ToggleMaximize();
    PumpFor(50);
    EXPECT_NE(w.painter.FindButton(30)->visible, w.painter.FindButton(40)->visible);
}

TEST(TitleBar, ClickActions)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    std::vector<std::wstring> opened;
    web_links::SetShellOpen([&](const wchar_t* a) { opened.push_back(a); });
    int menus = 0;
    auto open = [&] { ++menus; };

    EXPECT_FALSE(title_bar::OnClick(10, w.hwnd, open));
    for (int id : {20, 30, 40}) EXPECT_TRUE(title_bar::OnClick(id, w.hwnd, open)) << id;
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(menus, 0);

    EXPECT_TRUE(title_bar::OnClick(10013, w.hwnd, open));
    EXPECT_EQ(menus, 1);

    MSG msg;
    while (PeekMessageW(&msg, w.hwnd, WM_GAME_COMMAND, WM_GAME_COMMAND, PM_REMOVE)) {}
    EXPECT_TRUE(title_bar::OnClick(10017, w.hwnd, open));
    ASSERT_TRUE(PeekMessageW(&msg, w.hwnd, WM_GAME_COMMAND, WM_GAME_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(CMD_TOGGLE_FULL_SCREEN));
    EXPECT_EQ(msg.lParam, 0);

    for (int id : {10020, 10021, 10022, 10023}) EXPECT_TRUE(title_bar::OnClick(id, w.hwnd, open));
    web_links::SetShellOpen(nullptr);
    const std::vector<std::wstring> want = {
        operator_site::Address(L"/url-zelk-kf.html"), operator_site::Address(L"/url-zelk-www.html"),
        operator_site::Address(L"/url-zelk-www.html"), operator_site::Address(L"/url-zelk-pay.html")};
    EXPECT_EQ(opened, want);
    EXPECT_EQ(menus, 1);
}

namespace {

// Lit (bright) pixels of a rendering on black.
struct Lit {
    int minX = 100000, maxX = -1, minY = 100000, maxY = -1, count = 0;
};

Lit FindLit(const testing_support::Bitmap32& b, int x0, int x1)
{
    Lit lit;
    for (int y = 0; y < b.height; ++y) {
        for (int x = x0; x < x1; ++x) {
            const unsigned c = b.At(x, y);
            if (((c >> 8) & 0xFF) > 128) {
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

void RenderTitle(testing_support::Bitmap32& b, const wchar_t* text, bool gameView,
                 GameWindow& w)
{
    b.Fill(0xFF000000);
    Gdiplus::Graphics g(b.dc);
    title_bar::DrawTitleText(g, text, w.titleFont.Get(), w.titleBrush.Get(), gameView);
}

}  // namespace

TEST(TitleBar, TitleIsDrawnOnlyInTheGameViewAndEndsWithAnEllipsisWhenTooLong)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    testing_support::Bitmap32 b(700, 30);

    RenderTitle(b, L"Harrowmere Keep", false, w);
    EXPECT_EQ(FindLit(b, 0, 700).count, 0) << "no title outside the game view";

    RenderTitle(b, L"Harrowmere Keep", true, w);
    const Lit shortTitle = FindLit(b, 0, 700);
    ASSERT_GT(shortTitle.count, 20) << "title text drawn";
    EXPECT_GE(shortTitle.minX, 22);
    EXPECT_LT(shortTitle.maxX, 300);
    EXPECT_GE(shortTitle.minY, 4);
    EXPECT_LE(shortTitle.maxY, 24);

    std::wstring longTitle;
    for (int i = 0; i < 40; ++i) longTitle += L"Harrowmere Keep ";
    RenderTitle(b, longTitle.c_str(), true, w);
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
    const std::wstring fitted = title_bar::FitTitle(g, longTitle.c_str(), w.titleFont.Get(), 500);
    ASSERT_GT(fitted.size(), 10u);
    EXPECT_EQ(fitted.back(), L'…');
    const std::wstring kept = fitted.substr(0, fitted.size() - 1);
    EXPECT_EQ(longTitle.compare(0, kept.size(), kept), 0);
    EXPECT_TRUE(kept.size() >= 4 && (kept.compare(kept.size() - 4, 4, L"Keep") == 0 ||
                                     kept.compare(kept.size() - 10, 10, L"Harrowmere") == 0))
        << "cut at a word boundary";
    EXPECT_EQ(title_bar::FitTitle(g, L"Harrowmere Keep", w.titleFont.Get(), 500),
              L"Harrowmere Keep");
    const std::wstring cjk(120, L'湖');
    const std::wstring cjkFitted = title_bar::FitTitle(g, cjk.c_str(), w.titleFont.Get(), 500);
    EXPECT_EQ(cjkFitted.back(), L'…');
    EXPECT_GT(cjkFitted.size(), 20u);
    EXPECT_LT(cjkFitted.size(), 60u);
    // One word longer than the line is cut inside the word.
    const std::wstring oneWord(200, L'W');
    const std::wstring wordFitted = title_bar::FitTitle(g, oneWord.c_str(), w.titleFont.Get(), 500);
    EXPECT_EQ(wordFitted.back(), L'…');
    EXPECT_GT(wordFitted.size(), 10u);

    // Through the window's own painting: the overlay lies over the title-bar picture.
    w.EnterGameView();
    wcscpy(w.titleText, L"HHHHHHHH");
    testing_support::Bitmap32 frame(600, 386);
    testing_support::CaptureWindow(w.hwnd, frame);
    const Lit onBar = FindLit(frame, 22, 200);
    EXPECT_GT(onBar.count, 20);
}

TEST(ToolsMenu, OpensUnderTheTitleBarAtThePointerAndIsReusedWithoutDuplicates)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    const RECT window = WindowRectOf(w.hwnd);
    PutCursor(400, 300);
    w.tools.Open(w.hwnd);
    ASSERT_TRUE(IsWindow(w.toolsMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(w.toolsMenu.hwnd) != FALSE; }));
    EXPECT_EQ(Str(WindowRectOf(w.toolsMenu.hwnd)),
              Str(RECT{390, window.top + 30, 390 + 96, window.top + 30 + 72}));
    ASSERT_EQ(w.toolsMenu.list.items.size(), 3u);
    const wchar_t* captions[] = {L"清除缓存", L"刷新", L"老板键(Alt+D)"};
    const int ids[] = {10014, 10015, 10016};
    for (int i = 0; i < 3; ++i) {
        CImageItem* row = w.toolsMenu.list.items[i].get();
        EXPECT_EQ(row->id, ids[i]);
        ASSERT_EQ(row->buttons.size(), 1u);
        EXPECT_STREQ(row->buttons[0]->text, captions[i]);
    }
    // Opened again while it is still there: same window, same rows, new place.
    const HWND first = w.toolsMenu.hwnd;
    PutCursor(700, 200);
    w.tools.Open(w.hwnd);
    EXPECT_EQ(w.toolsMenu.hwnd, first);
    EXPECT_EQ(w.toolsMenu.list.items.size(), 3u);
    EXPECT_EQ(WindowRectOf(w.toolsMenu.hwnd).left, 690);
    EXPECT_EQ(WindowRectOf(w.toolsMenu.hwnd).top, window.top + 30);
    EXPECT_EQ(ToolsMenu::Place(POINT{50, 999}, RECT{-5, 17, 900, 700}).y, 47);
}

TEST(ToolsMenu, RowsDoTheirActionAndCloseTheMenu)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    std::vector<HWND> clearings;
    w.tools.startClearing = [&](HWND owner) {
        clearings.push_back(owner);
        return true;
    };
    // The boss-key row only closes the menu.
    PutCursor(300, 200);
    w.tools.Open(w.hwnd);
    ClickRow(w.toolsMenu, 2);
    EXPECT_FALSE(IsWindow(w.toolsMenu.hwnd));
    EXPECT_TRUE(IsWindowVisible(w.hwnd));
    EXPECT_FALSE(w.bossHidden);
    EXPECT_EQ(w.refreshes, 0);
    EXPECT_TRUE(clearings.empty());
    EXPECT_TRUE(w.toolsMenu.list.items.empty()) << "rows go with the window";

    w.tools.Open(w.hwnd);
    ASSERT_EQ(w.toolsMenu.list.items.size(), 3u) << "rebuilt after the click destroyed it";
    ClickRow(w.toolsMenu, 1);
    EXPECT_EQ(w.refreshes, 1);
    EXPECT_FALSE(IsWindow(w.toolsMenu.hwnd));

    w.tools.Open(w.hwnd);
    ClickRow(w.toolsMenu, 0);
    ASSERT_EQ(clearings.size(), 1u);
    EXPECT_EQ(clearings[0], w.hwnd);
    EXPECT_FALSE(IsWindow(w.toolsMenu.hwnd));

    // The real clearing: its message box belongs to the game window.
    w.tools.startClearing = nullptr;
    w.tools.Open(w.hwnd);
    ClickRow(w.toolsMenu, 0);
    ASSERT_TRUE(PumpUntil([] { return MessageBoxes().size() == 1; }, 10000));
    const HWND box = MessageBoxes()[0];
    EXPECT_EQ(GetWindow(box, GW_OWNER), w.hwnd);
    Answer(box, IDOK);
    EXPECT_TRUE(PumpUntil([] { return !cacheBusy.load() && MessageBoxes().empty(); }));

    // The tools button itself opens the menu through the click path.
    PutCursor(500, 95);
    EXPECT_TRUE(w.OnButtonClick(w.painter.FindButton(10013)));
    EXPECT_TRUE(IsWindow(w.toolsMenu.hwnd));
    EXPECT_EQ(WindowRectOf(w.toolsMenu.hwnd).left, 490);
}

TEST(ToolsMenu, HundredOpeningsWithRowClicksLeakNothing)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    w.tools.startClearing = [](HWND) { return true; };
    auto cycle = [&](int i) {
        PutCursor(300 + i % 40, 200);
        w.tools.Open(w.hwnd);
        HWND shadow = w.toolsMenu.shadow ? w.toolsMenu.shadow->hwnd : nullptr;
        UpdateWindow(w.toolsMenu.hwnd);
        ClickRow(w.toolsMenu, i % 3);
        PumpUntil([&] { return !IsWindow(shadow); }, 2000);
    };
    cycle(0);
    PumpFor(50);
    const int gdiBefore = testing_support::GdiObjectCount();
    const long gdipBefore = GdipLiveObjects().load();
    for (int i = 1; i <= 100; ++i) cycle(i);
    PumpFor(50);
    EXPECT_EQ(w.refreshes, 33 + 1);
    EXPECT_EQ(testing_support::GdiObjectCount(), gdiBefore);
    EXPECT_EQ(GdipLiveObjects().load(), gdipBefore);
}

namespace {

POINT CentreOf(const CImageButton* b)
{
    return POINT{(b->rect.left + b->rect.right) / 2, (b->rect.top + b->rect.bottom) / 2};
}

void MoveTo(GameWindow& w, POINT client)
{
    POINT screen = client;
    ClientToScreen(w.hwnd, &screen);
    PutCursor(screen.x, screen.y);
    SendMessageW(w.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

}  // namespace

TEST(TitleTips, CaptionShowsAfterARestAndHidesOnLeaveAndClick)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    ASSERT_TRUE(IsWindow(w.toolTip.hwnd));
    const HWND tip = w.toolTip.hwnd;

    MoveTo(w, CentreOf(w.painter.FindButton(10013)));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000));
    EXPECT_GE(GetTickCount() - start, 400u) << "only after the pointer rested";
    EXPECT_STREQ(w.toolTip.text, L"工具");

    // Onto the bar beside the buttons: hidden.
    MoveTo(w, POINT{300, 12});
    EXPECT_FALSE(IsWindowVisible(tip));

    MoveTo(w, CentreOf(w.painter.FindButton(10017)));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000));
    EXPECT_STREQ(w.toolTip.text, L"全屏(F10)");
    // A press hides it, and it stays hidden while the pointer stays on that button.
    const POINT full = CentreOf(w.painter.FindButton(10017));
    SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(full.x, full.y));
    EXPECT_FALSE(IsWindowVisible(tip));
    ReleaseCapture();
    w.painter.captured = false;
    w.painter.leftPressed = false;
    PumpFor(700);
    EXPECT_FALSE(IsWindowVisible(tip));

    // Leaving the window hides it.
    MoveTo(w, CentreOf(w.painter.FindButton(20)));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 3000));
    EXPECT_STREQ(w.toolTip.text, L"最小化");
    SendMessageW(w.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));

    // Quick links and close carry no tip.
    MoveTo(w, CentreOf(w.painter.FindButton(10021)));
    PumpFor(700);
    EXPECT_FALSE(IsWindowVisible(tip));
    MoveTo(w, CentreOf(w.painter.FindButton(10)));
    PumpFor(700);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST(TitleTips, HundredShowingsLeakNothing)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    w.tips.delayMs = 1;
    const int ids[] = {30, 40, 20, 10017, 10013};
    auto show = [&](int i) {
        CImageButton* b = w.painter.FindButton(ids[i % 5]);
        w.tips.OnHover(w.toolTip, b);
        const bool visible =
            PumpUntil([&] { return IsWindowVisible(w.toolTip.hwnd) != FALSE; }, 2000);
        UpdateWindow(w.toolTip.hwnd);
        w.tips.OnMouseMessage(w.toolTip, WM_MOUSELEAVE, nullptr);
        return visible && !IsWindowVisible(w.toolTip.hwnd);
    };
    show(0);
    PumpFor(50);
    const int gdiBefore = testing_support::GdiObjectCount();
    const long gdipBefore = GdipLiveObjects().load();
    int shown = 0;
    for (int i = 1; i <= 100; ++i) {
        shown += show(i) ? 1 : 0;
    }
    PumpFor(50);
    EXPECT_EQ(shown, 100);
    EXPECT_EQ(testing_support::GdiObjectCount(), gdiBefore);
    EXPECT_EQ(GdipLiveObjects().load(), gdipBefore);
}

TEST(TitleBar, PointerClicksReachTheActionsThroughThePainter)
{
    GameWindow w;
    ASSERT_TRUE(w.Open());
    w.EnterGameView();
    MSG msg;
    while (PeekMessageW(&msg, w.hwnd, WM_GAME_COMMAND, WM_GAME_COMMAND, PM_REMOVE)) {}
    auto click = [&](int id) {
        const POINT p = CentreOf(w.painter.FindButton(id));
        MoveTo(w, p);
        SendMessageW(w.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(w.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    };
    click(10017);
    ASSERT_TRUE(PeekMessageW(&msg, w.hwnd, WM_GAME_COMMAND, WM_GAME_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(CMD_TOGGLE_FULL_SCREEN));

    click(10013);
    ASSERT_TRUE(IsWindow(w.toolsMenu.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(w.toolsMenu.hwnd) != FALSE; }));
    EXPECT_EQ(w.toolsMenu.list.items.size(), 3u);
    EXPECT_FALSE(IsWindowVisible(w.toolTip.hwnd)) << "the click hid the tooltip";
}
