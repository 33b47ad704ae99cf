// The item list painter and its rows, driven through a real list window with real messages.
#include "CImageButton.h"
#include "CImageCtrlEx.h"
#include "CImageItem.h"
#include "CImagePaintEx.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace painter_test;
using testing_support::RectIs;

struct ListWindow {
    CImageCtrlEx ctrl;
    explicit ListWindow(int width = 96, int height = 120, HWND parent = nullptr,
                        DWORD style = WS_POPUP, int x = 40, int y = 40)
    {
        ctrl.Create(0, nullptr, nullptr, style, x, y, width, height, parent);
    }
    ~ListWindow()
    {
        if (ctrl.hwnd && IsWindow(ctrl.hwnd)) DestroyWindow(ctrl.hwnd);
    }
    CImagePaintEx& list() { return ctrl.list; }
    LRESULT Send(UINT message, WPARAM w, LPARAM l) { return SendMessageW(ctrl.hwnd, message, w, l); }
};

TEST(ListLayout, RowsGetTheirWidthAtTheFirstSizeInvisibleRowsTakeNoRoomAndRowsOutsideTheParentAreNotOnView)
{
    ListWindow w(96, 120);
    ASSERT_TRUE(IsWindow(w.ctrl.hwnd));
    // The rows below were added after creation; a fresh list shows rows added before it exists.
    CImageCtrlEx early;
    CImageItem* before = early.list.AddItem(1);
    EXPECT_RECT(before->rect, 0, 0, 0, 24);
    early.Create(0, nullptr, nullptr, WS_POPUP, 10, 10, 96, 72, nullptr);
    ASSERT_TRUE(IsWindow(early.hwnd));
    EXPECT_RECT(before->rect, 0, 0, 96, 24);
    DestroyWindow(early.hwnd);
    EXPECT_TRUE(early.list.items.empty()) << "destroying the window deletes the rows";

    CImagePaintEx& list = w.list();
    CImageItem* a = list.AddItem(1);
    CImageItem* b = list.AddItem(2);
    CImageItem* c = list.AddItem(3);
    EXPECT_RECT(c->rect, 0, 48, 96, 72);
    b->visible = false;
    list.Relayout(nullptr);
    EXPECT_RECT(a->rect, 0, 0, 96, 24);
    EXPECT_RECT(c->rect, 0, 24, 96, 48);
    EXPECT_RECT(b->rect, 0, 24, 96, 48) << "an invisible row keeps its old rectangle";
    EXPECT_RECT(list.GetItemRect(2), 0, 0, 96, 0);
    EXPECT_RECT(list.GetItemRect(3), 0, 24, 96, 48);
    EXPECT_EQ(list.VisibleHeight(), 48);
    EXPECT_EQ(list.HitTest(POINT{10, 30}), c);
    EXPECT_EQ(list.HitTest(POINT{10, 50}), nullptr);

    // An existing id gives the same row and leaves the layout alone.
    c->rect = RECT{1, 2, 3, 4};
    EXPECT_EQ(list.AddItem(3), c);
    EXPECT_RECT(c->rect, 1, 2, 3, 4);
    EXPECT_EQ(list.AddItem(2), b) << "invisible rows are found too";

    // Resizing the window restacks across the new width and tells onSize.
    RECT sized = {};
    list.onSize = [&](RECT r) { sized = r; };
    SetWindowPos(w.ctrl.hwnd, nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_RECT(sized, 0, 0, 120, 80);
    EXPECT_RECT(a->rect, 0, 0, 120, 24);
    EXPECT_RECT(c->rect, 0, 24, 120, 48);

    // Rows outside the parent are not on view.
    CImageCtrlEx host;
    host.SetClassName(L"ListTestHost");
    host.Create(0, nullptr, nullptr, WS_POPUP, 0, 0, 200, 50, nullptr);
    ASSERT_TRUE(IsWindow(host.hwnd));
    {
        // The list is scrolled up by one row inside a 50-pixel-high parent.
        ListWindow scrolled(96, 200, host.hwnd, WS_CHILD | WS_VISIBLE, 0, -24);
        CImagePaintEx& rows = scrolled.list();
        for (int id = 1; id <= 5; ++id) rows.AddItem(id);
        EXPECT_FALSE(rows.IsItemOnView(0, 24)) << "bottom exactly at the parent's top";
        EXPECT_TRUE(rows.IsItemOnView(24, 24));
        EXPECT_TRUE(rows.IsItemOnView(72, 24)) << "top at the parent's bottom";
        EXPECT_FALSE(rows.IsItemOnView(96, 24));
        EXPECT_FALSE(rows.IsItemOnView(-40, 24)) << "a top above the parent wraps as unsigned";
        EXPECT_EQ(rows.HitTest(POINT{5, 5}), nullptr);
        EXPECT_EQ(rows.HitTest(POINT{5, 30}), rows.items[1].get());
        EXPECT_EQ(rows.HitTest(POINT{5, 100}), nullptr);
    }
    DestroyWindow(host.hwnd);
    CImagePaintEx alone;
    EXPECT_TRUE(alone.IsItemOnView(5000, 24)) << "a list without window or parent shows all";
}

TEST(ListClicks, TicksDecideBetweenClickAndDoubleClickAndAHandlerMayDestroyTheWindow)
{
    ListWindow w;
    CImagePaintEx& list = w.list();
    for (int id = 1; id <= 3; ++id) list.AddItem(id);
    std::vector<int> clicks, doubles;
    uint32_t tick = 1000;
    list.tickSource = [&] { return tick; };
    list.onItemClick = [&](CImageItem* item) { clicks.push_back(item->id); };
    list.onItemDoubleClick = [&](CImageItem* item) { doubles.push_back(item->id); };
    // A release at (x, y), ms later by the tick source.
    auto releaseAfter = [&](uint32_t ms, int x, int y) {
        tick += ms;
        w.Send(WM_LBUTTONUP, 0, At(x, y));
    };

    w.Send(WM_LBUTTONUP, 0, At(10, 30));
    releaseAfter(600, 10, 30);
    EXPECT_EQ(clicks, (std::vector<int>{2, 2}));
    EXPECT_TRUE(doubles.empty());

    releaseAfter(300, 10, 40);
    EXPECT_EQ(clicks, (std::vector<int>{2, 2}));
    EXPECT_EQ(doubles, (std::vector<int>{2}));
    EXPECT_EQ(list.lastClickTick, tick);

    // Exactly 500 ms is still a double click.
    releaseAfter(500, 10, 30);
    EXPECT_EQ(doubles.size(), 2u);

    // Another row is a click however soon it comes, and it takes the selection over.
    releaseAfter(10, 10, 5);
    EXPECT_EQ(clicks, (std::vector<int>{2, 2, 1}));
    EXPECT_TRUE(list.items[0]->selected);
    EXPECT_FALSE(list.items[1]->selected);
    EXPECT_EQ(list.lastClicked, list.items[0].get());

    // The counter wraps between the two releases: 0x150 ms apart is a double click.
    list.lastClickTick = 0xFFFFFF00u;
    tick = 0x50;
    w.Send(WM_LBUTTONUP, 0, At(10, 5));
    EXPECT_EQ(doubles, (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(ElapsedTicks(0x50, 0xFFFFFF00u), 0x150);

    // Below the last row nothing happens.
    const uint32_t before = list.lastClickTick;
    releaseAfter(5000, 10, 100);
    EXPECT_EQ(list.lastClicked, list.items[0].get());
    EXPECT_EQ(list.lastClickTick, before);
    EXPECT_EQ(clicks, (std::vector<int>{2, 2, 1}));

    // Without a double-click handler a quick second release reports nothing.
    list.onItemDoubleClick = nullptr;
    tick = list.lastClickTick + 100;
    w.Send(WM_LBUTTONUP, 0, At(10, 5));
    EXPECT_EQ(clicks.size(), 3u);
    EXPECT_EQ(doubles.size(), 3u);

    // A release with no rows at all does nothing either.
    list.ClearItems();
    EXPECT_EQ(list.lastClicked, nullptr);
    w.Send(WM_LBUTTONUP, 0, At(10, 5));
    EXPECT_EQ(clicks.size(), 3u);

    // A handler that destroys the window leaves a reset list.
    list.AddItem(7)->AddButton(7, RECT{1, 1, 94, 94}, L"seven");
    HWND h = w.ctrl.hwnd;
    int seen = 0;
    list.onItemClick = [&](CImageItem* item) {
        seen = item->id;
        ShowWindow(h, SW_HIDE);
        DestroyWindow(h);
    };
    releaseAfter(5000, 3, 3);
    EXPECT_EQ(seen, 7);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(list.lastClicked, nullptr);
    EXPECT_EQ(list.hwnd, nullptr);
}

TEST(ListPointer, HotRowFollowsThePointerAndHidingClearsTheLook)
{
    ListWindow w;
    CImagePaintEx& list = w.list();
    for (int id = 1; id <= 3; ++id) list.AddItem(id)->AddButton(id, RECT{1, 1, 94, 94}, L"x");
    CImageItem* first = list.items[0].get();
    CImageItem* second = list.items[1].get();

    w.Send(WM_MOUSEMOVE, 0, At(20, 30));
    EXPECT_TRUE(list.tracking);
    EXPECT_EQ(list.hotItem, second);
    EXPECT_TRUE(second->hovered);
    EXPECT_EQ(second->hotButton, second->buttons[0].get());

    // Leaving the hot row first clears it; the row under the pointer becomes hot at the next move.
    w.Send(WM_MOUSEMOVE, 0, At(20, 10));
    EXPECT_EQ(list.hotItem, nullptr);
    EXPECT_FALSE(second->hovered);
    EXPECT_EQ(second->hotButton, nullptr);
    EXPECT_EQ(second->mousePos.x, -1);
    w.Send(WM_MOUSEMOVE, 0, At(20, 10));
    EXPECT_EQ(list.hotItem, first);

    // Hiding keeps hot and last-clicked rows but clears every row's look.
    list.tickSource = [] { return 5u; };
    w.Send(WM_LBUTTONUP, 0, At(20, 10));
    ASSERT_TRUE(first->selected);
    w.Send(WM_SHOWWINDOW, FALSE, 0);
    EXPECT_FALSE(first->hovered);
    EXPECT_FALSE(first->selected);
    EXPECT_EQ(first->hotButton, nullptr);
    EXPECT_EQ(list.hotItem, first);
    EXPECT_EQ(list.lastClicked, first);
    EXPECT_EQ(list.mousePos.x, -1);

    // Leave: the row is told (0, 0) and stops being hot.
    first->hovered = true;
    w.Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(list.tracking);
    EXPECT_EQ(list.hotItem, nullptr);
    EXPECT_FALSE(first->hovered);
    EXPECT_TRUE(testing_support::PointIs(first->mousePos, POINT{0, 0}));
}

TEST(ListBrushes, MadeAtCreationOnlyForVisibleColoursAndBackAfterRecreation)
{
    CImageCtrlEx ctrl;
    // Which of the back, hover and selected brushes the list holds.
    auto brushes = [&] {
        const CImagePaintEx& l = ctrl.list;
        return std::vector<bool>{!!l.backBrush, !!l.hoverBrush, !!l.selectedBrush};
    };
    ctrl.list.backColor = 0x00FFFFFF;
    ctrl.list.fillBack = true;
    ctrl.Create(0, nullptr, nullptr, WS_POPUP, 0, 0, 96, 48, nullptr);
    ASSERT_TRUE(IsWindow(ctrl.hwnd));
    EXPECT_EQ(brushes(), std::vector<bool>({false, false, false})) << "alpha 0 means no brush";
    DestroyWindow(ctrl.hwnd);

    ctrl.list.backColor = 0xFF102030;
    ctrl.list.hoverColor = 0xFF405060;
    ctrl.Create(0, nullptr, nullptr, WS_POPUP, 0, 0, 96, 48, nullptr);
    ASSERT_TRUE(IsWindow(ctrl.hwnd));
    EXPECT_EQ(brushes(), std::vector<bool>({true, true, false}));
    EXPECT_EQ(ctrl.list.hwnd, ctrl.hwnd);

    // Erasing is always answered, and paints only when the client rectangle changed.
    ctrl.list.lastClientRect = RECT{};
    EXPECT_EQ(SendMessageW(ctrl.hwnd, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_TRUE(RectIs(ctrl.list.lastClientRect, RECT{0, 0, 96, 48}));
    EXPECT_EQ(SendMessageW(ctrl.hwnd, WM_ERASEBKGND, 0, 0), 1);

    DestroyWindow(ctrl.hwnd);
    EXPECT_EQ(brushes(), std::vector<bool>({false, false, false}));
    EXPECT_EQ(ctrl.list.hoverColor, 0xFF405060u) << "colours survive the window";
}

TEST(ListPaint, HotBackgroundOnlyWithAHoverColourAndSelectedFallsBackToHover)
{
    ListWindow w(96, 72);
    ASSERT_TRUE(IsWindow(w.ctrl.hwnd));
    CImagePaintEx& list = w.list();
    list.SetBackColor(0xFF202020);
    for (int id = 1; id <= 3; ++id) list.AddItem(id);
    w.Send(WM_MOUSEMOVE, 0, At(5, 30));
    ASSERT_EQ(list.hotItem, list.items[1].get());
    // No hover colour: the hot row is not filled.
    testing_support::Bitmap32 shot(96, 72);
    testing_support::CaptureWindow(w.ctrl.hwnd, shot);
    ExpectPixels(shot, {{50, 36, 0x202020}}, 2);

    list.SetHoverColor(0xFF00C000);
    list.items[2]->selected = true;  // no selected brush: drawn with the hover brush
    testing_support::CaptureWindow(w.ctrl.hwnd, shot);
    ExpectPixels(shot, {{50, 36, 0x00C000}, {50, 60, 0x00C000}, {50, 10, 0x202020}}, 2);
}

TEST(ListItem, ButtonsArePlacedAndClippedInTheRow)
{
    EXPECT_RECT(PlaceInRowClipped(RECT{1, 1, 94, 94}, -1, RECT{0, 24, 96, 48}), 1, 25, 94, 48);
    EXPECT_RECT(PlaceInRowClipped(RECT{0, 2, 20, 22}, 4, RECT{0, 0, 96, 24}), 72, 2, 92, 22);
    EXPECT_RECT(PlaceInRowClipped(RECT{-5, 0, 120, 10}, -1, RECT{0, 0, 96, 24}), 0, 0, 96, 10);
    EXPECT_RECT(ChildWindowRect(RECT{10, 2, 200, 40}, RECT{0, 24, 96, 48}), 10, 26, 96, 48);

    CImagePaintEx list;
    CImageItem* row = list.AddItem(1);
    CImageButton* first = row->AddButton(5, RECT{0, 0, 40, 24}, L"first");
    EXPECT_EQ(row->AddButton(5, RECT{50, 0, 90, 24}, L"second"), first);
    EXPECT_STREQ(first->text, L"first");
    EXPECT_EQ(first->rect.left, 0);
    EXPECT_EQ(row->buttons.size(), 1u);
    EXPECT_FALSE(first->images[0]) << "row buttons have no images";
}

TEST(ListItem, HotButtonTrackingSkipsInvisibleButtonsAndChildWindowsFollowTheRow)
{
    // Without a window the row rectangle is (0, 0, 0, 24), so buttons use right offsets of a
    // zero-width row only through clipping; give the list a window for real widths.
    ListWindow w(96, 48);
    ASSERT_TRUE(IsWindow(w.ctrl.hwnd));
    CImageItem* row = w.list().AddItem(1);
    CImageButton* left = row->AddButton(1, RECT{0, 0, 40, 24}, L"a");
    CImageButton* right = row->AddButton(2, RECT{0, 0, 20, 24}, L"b");
    right->rightOffset = 4;  // x 72 to 92

    EXPECT_TRUE(row->OnMouseMove(POINT{10, 5}));
    EXPECT_EQ(row->hotButton, left);
    EXPECT_FALSE(row->OnMouseMove(POINT{12, 6})) << "same button again: nothing to repaint";
    // Straight onto the other button: first the old one is left...
    EXPECT_TRUE(row->OnMouseMove(POINT{80, 5}));
    EXPECT_EQ(row->hotButton, nullptr);
    // ...and the new one is found at the next move.
    EXPECT_TRUE(row->OnMouseMove(POINT{80, 5}));
    EXPECT_EQ(row->hotButton, right);
    EXPECT_TRUE(row->OnMouseMove(POINT{93, 5})) << "x 92 lies outside the placed button";
    EXPECT_EQ(row->hotButton, nullptr);

    left->visible = false;
    EXPECT_FALSE(row->OnMouseMove(POINT{10, 5}));
    EXPECT_EQ(row->hotButton, nullptr);
    row->OnMouseLeave();
    EXPECT_EQ(row->mousePos.x, -1);

    // Child windows follow their row and go with it.
    CImageItem* second = w.list().AddItem(2);
    auto* child = new CImageCtrlEx;
    child->SetClassName(L"ListTestChild");
    child->Create(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, w.ctrl.hwnd);
    HWND childWindow = child->hwnd;
    ASSERT_TRUE(IsWindow(childWindow));
    second->AddChildWindow(child, RECT{10, 2, 200, 40});
    second->rect = RECT{};  // force the next relayout to move it
    w.list().Relayout(nullptr);
    EXPECT_RECT(testing_support::ChildRect(childWindow), 10, 26, 96, 48);

    w.list().ClearItems();
    EXPECT_FALSE(IsWindow(childWindow));
}

}  // namespace
