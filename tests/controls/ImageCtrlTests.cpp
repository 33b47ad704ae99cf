// The skinned top-level window: hit-testing, region, sizes, modal loop and icons.
#include "CImageButton.h"
#include "CImageCtrl.h"
#include "CImageStatic.h"
#include "Desktops.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace painter_test;
using testing_support::PumpQueued;
using testing_support::PumpUntil;

namespace {

// Answers to WM_NCHITTEST at client points of a 100 x 100 window with 3-pixel borders.
struct HitCase {
    int x, y;
    bool resizable;
    LRESULT want;
};
const HitCase kHits[] = {
    {2, 50, true, HTLEFT},    {3, 50, true, HTCLIENT},  {3, 97, true, HTBOTTOMLEFT},
    {97, 50, true, HTRIGHT},  {97, 1, true, HTRIGHT},   {98, 1, true, HTTOPRIGHT},
    {2, 2, true, HTTOPLEFT},  {3, 2, true, HTTOP},      {97, 97, true, HTBOTTOMRIGHT},
    // The bottom band is strict: y > H - h.
    {50, 97, true, HTCLIENT}, {50, 98, true, HTBOTTOM}, {50, 2, true, HTTOP},
    {50, 50, true, HTCLIENT}, {2, 50, false, HTCLIENT}, {98, 1, false, HTCLIENT},
};

class ModalWindow : public CImageCtrl {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_APP + 1) {  // an owner ending the loop without destroying
            modalResult = static_cast<int>(wParam);
            modalRunning = false;
            return 1;
        }
        if (message == WM_APP + 2) {  // a nested attempt while running
            nestedAnswer = RunModalLoop() ? 1 : 0;
            return 1;
        }
        return CImageCtrl::HandleMessage(message, wParam, lParam);
    }
    int nestedAnswer = -1;
};

std::unique_ptr<CImageCtrl> MakeWindow(int w, int h, bool resizable = false, bool round = false)
{
    auto win = std::make_unique<CImageCtrl>();
    win->resizable = resizable;
    win->roundCorners = round;
    EXPECT_TRUE(win->Create(0, nullptr, L"ctrl", WS_POPUP | WS_VISIBLE, 200, 150, w, h, nullptr));
    return win;
}

// Resizes the window to cx x cy and expects it at wantX x wantY.
void ExpectResized(HWND h, int cx, int cy, int wantX, int wantY)
{
    SetWindowPos(h, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
    const RECT r = testing_support::WindowRect(h);
    EXPECT_EQ(r.right - r.left, wantX) << "resized to " << cx << " x " << cy;
    EXPECT_EQ(r.bottom - r.top, wantY) << "resized to " << cx << " x " << cy;
}

}  // namespace

TEST(ImageCtrlWindow, HitTestAndMinimumAndFixedSizesThroughTheWindow)
{
    auto win = MakeWindow(100, 100, true);
    HWND h = win->hwnd;
    POINT origin = {0, 0};
    ClientToScreen(h, &origin);
    auto hit = [&](int x, int y) {
        return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(origin.x + x, origin.y + y));
    };
    for (const HitCase& c : kHits) {
        win->resizable = c.resizable;
        EXPECT_EQ(hit(c.x, c.y), c.want) << c.x << "," << c.y << (c.resizable ? "" : " fixed");
    }
    win->resizable = true;
    win->borderWidth = 10;
    EXPECT_EQ(hit(9, 50), HTLEFT);
    win->resizable = false;
    EXPECT_EQ(hit(2, 50), HTCLIENT);

    // Minimum and fixed sizes.
    int cx = 50, cy = 40;
    CImageCtrl::LimitSize(cx, cy, 0, 0, 200, 0);
    EXPECT_EQ(cx, 50);  // one minimum alone is not enforced
    CImageCtrl::LimitSize(cx, cy, 120, 0, 0, 0);
    EXPECT_EQ(cx, 50);
    CImageCtrl::LimitSize(cx, cy, 120, 90, 0, 0);
    EXPECT_TRUE(testing_support::PointIs(POINT{cx, cy}, POINT{120, 90}));
    CImageCtrl::LimitSize(cx, cy, 120, 90, 150, 60);
    EXPECT_TRUE(testing_support::PointIs(POINT{cx, cy}, POINT{150, 90}));

    win->minWidth = 200;
    win->minHeight = 150;
    ExpectResized(h, 50, 50, 200, 150);
    ExpectResized(h, 260, 100, 260, 150);
    win->minHeight = 0;
    ExpectResized(h, 50, 50, 50, 50);
    MINMAXINFO info = {};
    SendMessageW(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(testing_support::PointIs(info.ptMinTrackSize, POINT{200, 0}));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(testing_support::PointIs(info.ptMaxSize,
                                         POINT{work.right - work.left, work.bottom - work.top}));
    EXPECT_TRUE(testing_support::PointIs(info.ptMaxPosition, POINT{work.left, work.top}));

    win->fixedWidth = 120;
    win->fixedHeight = 90;
    ExpectResized(h, 400, 300, 120, 90);
    DestroyWindow(h);
}

TEST(ImageCtrlWindow, CutCornersWhenRestoredPlainWhenMaximisedOverTheWorkAreaOfItsOwnMonitor)
{
    POINT pts[8];
    CImageCtrl::CutCornerPolygon(100, 80, pts);
    const POINT want[8] = {{0, 1}, {1, 0}, {99, 0}, {100, 1}, {100, 78}, {98, 80}, {2, 80}, {0, 78}};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(testing_support::PointIs(pts[i], want[i])) << "corner point " << i;

    auto win = MakeWindow(100, 80, false, true);
    HWND h = win->hwnd;
    SetWindowPos(h, nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const HRGN rgn = region.Get();
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    for (POINT corner : {POINT{0, 0}, POINT{119, 0}, POINT{0, 89}, POINT{119, 89}})
        EXPECT_FALSE(PtInRegion(rgn, corner.x, corner.y)) << corner.x << "," << corner.y;
    for (POINT inside : {POINT{1, 1}, POINT{60, 45}, POINT{60, 0}, POINT{60, 89}})
        EXPECT_TRUE(PtInRegion(rgn, inside.x, inside.y)) << inside.x << "," << inside.y;

    ShowWindow(h, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(h));
    RECT client;
    GetClientRect(h, &client);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, client.right - 1, client.bottom - 1));
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right, client.right);
    EXPECT_EQ(box.bottom, client.bottom);
    // Maximised to the work area of the primary monitor.
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT window = testing_support::WindowRect(h);
    EXPECT_EQ(window.right - window.left, work.right - work.left);
    EXPECT_EQ(window.bottom - window.top, work.bottom - work.top);

    ShowWindow(h, SW_RESTORE);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 60, 45));
    DestroyWindow(h);

    // Maximised on any monitor, it fills that monitor's work area.
    using namespace desktops;
    struct Case {
        const char* what;
        const Monitor& m;
        POINT position, size;  // the position is measured from the monitor's corner
    } cases[] = {
        {"bottom bar", kBottomBar, {0, 0}, {1920, 1040}},
        {"top bar", kTopBar, {0, 40}, {1920, 1040}},
        {"left bar", kLeftBar, {60, 0}, {1860, 1080}},
        {"right bar", kRightBar, {0, 0}, {1860, 1080}},
        {"second monitor at the left", kLeftSecond, {0, 0}, {1920, 1040}},
    };
    for (const Case& c : cases) {
        const screen_placement::MaximizedPlace p = screen_placement::MaximizedOn(c.m);
        EXPECT_TRUE(testing_support::PointIs(p.position, c.position)) << c.what;
        EXPECT_TRUE(testing_support::PointIs(p.size, c.size)) << c.what;
    }
}

TEST(ImageCtrlModal, EndsByOwnerDestructionOrQuitAndRefusesNestingAndForeignThreads)
{
    ModalWindow win;
    ASSERT_TRUE(win.Create(0, nullptr, L"modal", WS_POPUP | WS_VISIBLE, 10, 10, 80, 60, nullptr));
    {
        SCOPED_TRACE("an owner ending the loop without destroying");
        PostMessageW(win.hwnd, WM_APP + 1, 1, 0);
        EXPECT_TRUE(win.RunModalLoop());
        EXPECT_EQ(win.modalResult, 1);
        EXPECT_TRUE(IsWindow(win.hwnd));
    }
    {
        SCOPED_TRACE("a quit message ends the loop and is passed on");
        PostQuitMessage(7);
        EXPECT_TRUE(win.RunModalLoop());
        EXPECT_FALSE(win.modalRunning);
        MSG msg;
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 7u);
    }
    {
        SCOPED_TRACE("refused on a foreign thread");
        bool answer = true;
        std::thread other([&] { answer = win.RunModalLoop(); });
        other.join();
        EXPECT_FALSE(answer);
        EXPECT_FALSE(win.modalRunning);
    }
    {
        SCOPED_TRACE("the window's end ends the loop; a nested loop is refused");
        PostMessageW(win.hwnd, WM_APP + 2, 0, 0);
        PostMessageW(win.hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(win.RunModalLoop());
        EXPECT_EQ(win.nestedAnswer, 0);
        EXPECT_FALSE(win.modalRunning);
        EXPECT_EQ(win.hwnd, nullptr);
        // Without a window there is nothing to run.
        EXPECT_FALSE(win.RunModalLoop());
    }
}

TEST(ImageCtrlIcons, CopiesStayOwnedOnceAndTheCallersHandleStaysValid)
{
    auto win = MakeWindow(80, 60);
    HWND h = win->hwnd;
    ASSERT_TRUE(win->LoadIconFromResource(ICON_BIG, 32));
    ASSERT_TRUE(win->LoadIconFromResource(ICON_SMALL, 32));
    HICON small = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    HICON big = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_BIG, 0));
    ASSERT_TRUE(small);
    ASSERT_TRUE(big);
    EXPECT_EQ(win->icon.Get(), small);
    EXPECT_EQ(testing_support::IconSize(big).cx, 32);

    // The caller's own icon survives SetIcon, replacement and the window's end.
    UniqueIcon mine(CopyIcon(small));
    win->SetIcon(mine.Get(), ICON_SMALL);
    EXPECT_NE(win->icon.Get(), mine.Get());
    EXPECT_NE(win->icon.Get(), small);
    win->SetIcon(mine.Get(), ICON_SMALL);
    ASSERT_GT(testing_support::IconSize(mine.Get()).cx, 0);

    // Repeated icon changes leave no GDI objects behind.
    EXPECT_TRUE(testing_support::LeavesNothingBehind(5, 60, [&](int i) {
        win->LoadIconFromResource(ICON_BIG, 16 << (i % 3));
        win->LoadIconFromResource(ICON_SMALL, 16 << (i % 3));
        win->SetIcon(mine.Get(), i % 2);
    }));
    DestroyWindow(h);
    win.reset();
    EXPECT_GT(testing_support::IconSize(mine.Get()).cx, 0);  // still ours, and still an icon

    // Without a window only the small copy is kept.
    CImageCtrl bare;
    EXPECT_TRUE(bare.LoadIconFromResource(ICON_BIG, 48));
    EXPECT_FALSE(bare.icon);
    EXPECT_TRUE(bare.LoadIconFromResource(ICON_SMALL, 48));
    EXPECT_TRUE(bare.icon);
}

TEST(ImageCtrlWindow, CreateDestroyCyclesLeaveNothingBehind)
{
    auto cycle = [] {
        CImageCtrl win;
        win.roundCorners = true;
        win.Create(0, nullptr, L"cycle", WS_POPUP | WS_VISIBLE, 50, 50, 240, 160, nullptr);
        CImagePaint& p = win.painter;
        p.AddStatic(RECT{0, 0, 240, 160}, kRed, 1, false);
        p.AddStatic(RECT{0, 0, 40, 20}, kChecker, 2, true)->SetText(L"static");
        for (int id : {10, 20, 30, 40, 1001}) {
            CImageButton* b = p.AddButton(id, RECT{id % 200, 5, id % 200 + 30, 25}, 0, kRed,
                                          kGreen, kBlue, kYellow);
            b->SetText(L"b");
            b->SetBorderColors(0xFF000000, 0, 0);
        }
        p.AddButton(1002, RECT{100, 100, 141, 122}, 0, 0, 0, 0, 0)->SetImageStrip(kStrip82);
        win.LoadIconFromResource(ICON_BIG, 32);
        win.LoadIconFromResource(ICON_SMALL, 16);
        UpdateWindow(win.hwnd);
        SendMessageW(win.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(15, 10));
        UpdateWindow(win.hwnd);
        DestroyWindow(win.hwnd);
    };
    EXPECT_TRUE(testing_support::LeavesNothingBehind(3, 200, [&](int i) {
        cycle();
        if (i % 20 == 0) PumpQueued();
    }));
}
