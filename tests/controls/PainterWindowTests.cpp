// The painter inside real image windows, driven with real messages.
#include "CImageButton.h"
#include "CImageCtrl.h"
#include "CImageStatic.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace painter_test;
using testing_support::Bitmap32;
using testing_support::PumpPosted;
using testing_support::PumpQueued;
using testing_support::PumpUntil;

namespace {

class RecordingWindow : public CImageCtrl {
public:
    bool OnButtonDown(CImageButton* b) override { return Record(downs, b, answerDown); }
    bool OnButtonClick(CImageButton* b) override { return Record(clicks, b, answerClick); }
    bool OnButtonHover(CImageButton* b) override { return Record(hovers, b, true); }
    bool OnButtonRightDown(CImageButton* b) override { return Record(rightDowns, b, true); }
    bool OnButtonRightClick(CImageButton* b) override { return Record(rightClicks, b, true); }
    void OnDrawBackground(Gdiplus::Graphics&) override { ++backgrounds; }
    void OnDrawOverlay(Gdiplus::Graphics&) override { ++overlays; }

    std::vector<int> downs, clicks, hovers, rightDowns, rightClicks;
    bool answerDown = true;
    bool answerClick = true;
    int backgrounds = 0;
    int overlays = 0;

private:
    // Notes the button's identifier (-1: none) and answers as told.
    static bool Record(std::vector<int>& log, const CImageButton* b, bool answer)
    {
        log.push_back(b ? b->id : -1);
        return answer;
    }
};

class PainterWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Keep the real pointer away from the test windows: only our own messages move it.
        SetCursorPos(1900, 1000);
    }
    void TearDown() override
    {
        if (w && IsWindow(w->hwnd)) DestroyWindow(w->hwnd);
        w.reset();
        PumpPosted();
    }
    HWND Make(int width = 300, int height = 200, DWORD style = WS_POPUP | WS_VISIBLE)
    {
        w = std::make_unique<RecordingWindow>();
        HWND h = w->Create(0, nullptr, L"painter", style, 100, 100, width, height, nullptr);
        EXPECT_TRUE(h);
        return h;
    }
    // A window with two adjacent buttons 1 and 2, a never-hot 150 and a red static picture.
    HWND MakeStandard(int width = 300, int height = 200)
    {
        HWND h = Make(width, height);
        w->painter.AddStatic(RECT{0, 0, 20, 10}, kRed, 1, false);
        w->painter.AddButton(1, RECT{10, 50, 50, 70}, 0, kRed, kGreen, kBlue, 0);
        w->painter.AddButton(2, RECT{50, 50, 90, 70}, 0, kRed, kGreen, kBlue, 0);
        w->painter.AddButton(150, RECT{100, 50, 140, 70}, 0, kRed, kGreen, kBlue, 0);
        return h;
    }
    // Moves onto (x, y), presses and releases there; answers the release.
    LRESULT Click(int x, int y)
    {
        SendMessageW(w->hwnd, WM_MOUSEMOVE, 0, At(x, y));
        SendMessageW(w->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        return SendMessageW(w->hwnd, WM_LBUTTONUP, 0, At(x, y));
    }
    std::unique_ptr<RecordingWindow> w;
};

bool RegionContains(HWND h, int x, int y)
{
    const UniqueRegion rgn(CreateRectRgn(0, 0, 0, 0));
    const int kind = GetUpdateRgn(h, rgn.Get(), FALSE);
    return kind != ERROR && kind != NULLREGION && PtInRegion(rgn.Get(), x, y);
}

}  // namespace

TEST_F(PainterWindow, CreationBindsPainterAndRemovesTheCaption)
{
    HWND h = Make(300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(w->painter.hwnd, h);
    EXPECT_TRUE(HasStyle(h, GWL_STYLE, 0x02010100, WS_CAPTION));
    EXPECT_EQ(testing_support::ClassOf(h), L"ImageCtrl");
    EXPECT_TRUE(w->painter.backBrush);  // made from the default colour at WM_CREATE
    EXPECT_TRUE(w->painter.onButtonClick);
    EXPECT_TRUE(w->painter.onDrawOverlay);
}

TEST_F(PainterWindow, HoverMovesBetweenAdjacentButtonsRedrawingBoth)
{
    HWND h = MakeStandard();
    ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(h, nullptr, FALSE); })) << "first painting";
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    ASSERT_EQ(w->painter.hot, w->painter.FindButton(1));
    ASSERT_TRUE(w->painter.tracking);
    EXPECT_EQ(w->hovers, std::vector<int>({1}));
    ValidateRect(h, nullptr);

    SendMessageW(h, WM_MOUSEMOVE, 0, At(60, 60));
    EXPECT_EQ(w->painter.hot, w->painter.FindButton(2));
    EXPECT_EQ(w->hovers, std::vector<int>({1, 2}));
    EXPECT_TRUE(RegionContains(h, 20, 60));
    EXPECT_TRUE(RegionContains(h, 60, 60));
    EXPECT_FALSE(RegionContains(h, 120, 60));
    EXPECT_FALSE(RegionContains(h, 5, 5));
    ValidateRect(h, nullptr);

    // Moving within the hot button changes nothing and redraws nothing.
    SendMessageW(h, WM_MOUSEMOVE, 0, At(70, 65));
    EXPECT_EQ(w->hovers.size(), 2u);
    EXPECT_FALSE(RegionContains(h, 60, 60));

    // The never-hot identifier 150 is drawn (its look still follows the pointer) but never hot.
    SendMessageW(h, WM_MOUSEMOVE, 0, At(120, 60));
    EXPECT_EQ(w->painter.hot, nullptr);
    EXPECT_EQ(w->hovers.size(), 2u);
    ExpectRendered(h, {{120, 60, kRgbGreen}});
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(120, 60));
    EXPECT_FALSE(w->painter.leftPressed);
    EXPECT_TRUE(w->downs.empty());
    SendMessageW(h, WM_LBUTTONUP, 0, At(120, 60));
    EXPECT_TRUE(w->clicks.empty());
    EXPECT_TRUE(RegionContains(h, 60, 60));  // the old hot one is redrawn

    // An invisible button is not hit.
    w->painter.FindButton(1)->visible = false;
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    EXPECT_EQ(w->painter.hot, nullptr);
}

TEST_F(PainterWindow, LooksOnScreenFollowThePointer)
{
    HWND h = MakeStandard();
    w->painter.AddButton(3, RECT{10, 100, 50, 120}, 0, kRed, kGreen, kBlue, 0)->latched = true;
    // The background fill, the static, a button and the latched one.
    ExpectRendered(h, {{200, 150, 0xFAFAFA}, {10, 5, kRgbRed}, {30, 60, kRgbRed}, {30, 110, kRgbBlue}});
    SendMessageW(h, WM_MOUSEMOVE, 0, At(30, 60));
    ExpectRendered(h, {{30, 60, kRgbGreen}, {70, 60, kRgbRed}});
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 60));
    ExpectRendered(h, {{30, 60, kRgbBlue}});
    SendMessageW(h, WM_LBUTTONUP, 0, At(30, 60));
    ExpectRendered(h, {{30, 60, kRgbGreen}});
    EXPECT_GT(w->backgrounds, 0);
    EXPECT_GT(w->overlays, 0);
    // With a colour of alpha 0 nothing is filled: the fresh off-screen bitmap shows through.
    w->painter.SetBackColor(0x00FF0000);
    EXPECT_FALSE(w->painter.backBrush);
    ExpectRendered(h, {{200, 150, 0}, {10, 5, kRgbRed}});
}

namespace {
class CountingButton : public CImageButton {
public:
    CountingButton(HWND owner, int id, const RECT& r) : CImageButton(owner, id, r, L"") {}
    void Draw(Gdiplus::Graphics& g, POINT mouse, bool pressed, const RECT* box,
              CLayeredSurface* surface, const RECT& area) override
    {
        ++draws;
        CImageButton::Draw(g, mouse, pressed, box, surface, area);
    }
    int draws = 0;
};
}  // namespace

TEST_F(PainterWindow, PaintDrawsOnlyWhatTheUpdateRectangleTouches)
{
    HWND h = Make();
    auto* left = new CountingButton(h, 1, RECT{10, 50, 50, 70});
    auto* right = new CountingButton(h, 2, RECT{50, 50, 90, 70});
    w->painter.buttons.emplace_back(left);  // the painter owns them from here
    w->painter.buttons.emplace_back(right);
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
    EXPECT_GE(left->draws, 1);
    EXPECT_GE(right->draws, 1);
    left->draws = right->draws = 0;
    RECT onlyLeft = {10, 50, 30, 70};
    InvalidateRect(h, &onlyLeft, TRUE);
    UpdateWindow(h);
    EXPECT_GE(left->draws, 1);
    EXPECT_EQ(right->draws, 0);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));

    // A hover change repaints the two buttons involved and nothing else.
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    UpdateWindow(h);
    left->draws = right->draws = 0;
    auto* distant = new CountingButton(h, 3, RECT{200, 150, 240, 170});
    w->painter.buttons.emplace_back(distant);
    SendMessageW(h, WM_MOUSEMOVE, 0, At(60, 60));
    UpdateWindow(h);
    EXPECT_GE(left->draws, 1);
    EXPECT_GE(right->draws, 1);
    EXPECT_EQ(distant->draws, 0);
}

TEST_F(PainterWindow, PressDragOffAndReleaseDoesNotClick)
{
    HWND h = MakeStandard();
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 60));
    EXPECT_EQ(w->downs, std::vector<int>({1}));
    EXPECT_TRUE(w->painter.leftPressed);
    EXPECT_TRUE(w->painter.captured);
    EXPECT_EQ(GetCapture(), h);
    // While pressed, moving over the neighbour does not change hot.
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(60, 60));
    EXPECT_EQ(w->painter.hot, w->painter.FindButton(1));
    SendMessageW(h, WM_LBUTTONUP, 0, At(200, 150));
    EXPECT_TRUE(w->clicks.empty());
    EXPECT_EQ(w->painter.hot, nullptr);
    EXPECT_EQ(w->painter.mousePoint.x, -1);
    EXPECT_EQ(w->painter.pressRect.left, -1);
    EXPECT_NE(GetCapture(), h);
    EXPECT_FALSE(w->painter.leftPressed);

    // A full click inside.
    SendMessageW(h, WM_MOUSEMOVE, 0, At(60, 60));
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 60));
    SendMessageW(h, WM_LBUTTONUP, 0, At(61, 61));
    EXPECT_EQ(w->clicks, std::vector<int>({2}));
    EXPECT_EQ(w->painter.hot, w->painter.FindButton(2));

    // A refused press takes no capture.
    w->answerDown = false;
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 60));
    EXPECT_FALSE(w->painter.captured);
    EXPECT_NE(GetCapture(), h);
}

TEST_F(PainterWindow, RightPressAndReleaseReportTheButton)
{
    HWND h = MakeStandard();
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, At(20, 60));
    EXPECT_EQ(w->rightDowns, std::vector<int>({1}));
    EXPECT_TRUE(w->painter.rightPressed);
    EXPECT_EQ(GetCapture(), h);
    SendMessageW(h, WM_RBUTTONUP, 0, At(25, 62));
    EXPECT_EQ(w->rightClicks, std::vector<int>({1}));
    EXPECT_FALSE(w->painter.rightPressed);
    EXPECT_EQ(w->painter.rightPressRect.left, -1);
    EXPECT_NE(GetCapture(), h);

    SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, At(20, 60));
    SendMessageW(h, WM_RBUTTONUP, 0, At(200, 150));
    EXPECT_EQ(w->rightClicks.size(), 1u);
    EXPECT_EQ(w->painter.hot, nullptr);
    // Off any button: nothing reported.
    SendMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, At(200, 150));
    EXPECT_EQ(w->rightDowns.size(), 2u);
    EXPECT_EQ(w->painter.rightPressRect.left, -1);
}

TEST_F(PainterWindow, ReleasingCloseDestroysTheWindow)
{
    HWND h = MakeStandard();
    w->painter.AddButton(CImagePaint::kCloseId, RECT{260, 0, 290, 20}, 0, kRed, 0, 0, 0);
    // Refused by the window: the built-in close is skipped.
    w->answerClick = false;
    EXPECT_EQ(Click(270, 10), 1);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(w->clicks, std::vector<int>({10}));

    w->answerClick = true;
    Click(271, 10);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(w->clicks, std::vector<int>({10, 10}));
    EXPECT_TRUE(w->painter.buttons.empty());
    EXPECT_TRUE(w->painter.statics.empty());
    EXPECT_EQ(w->painter.hwnd, nullptr);
    EXPECT_EQ(w->hwnd, nullptr);
}

TEST_F(PainterWindow, DoubleClickOnTheTopStripTogglesMaximise)
{
    HWND h = Make();
    w->painter.dragEnabled = true;
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(150, 30));
    EXPECT_FALSE(IsZoomed(h));  // no buttons 30 and 40: nothing happens

    w->painter.AddButton(CImagePaint::kMaximizeId, RECT{200, 0, 220, 20}, 0, kRed, 0, 0, 0);
    w->painter.AddButton(CImagePaint::kRestoreId, RECT{200, 0, 220, 20}, 0, kGreen, 0, 0, 0)
        ->visible = false;
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(150, 41));
    EXPECT_FALSE(IsZoomed(h));
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(150, 40));
    EXPECT_TRUE(IsZoomed(h));
    EXPECT_FALSE(w->painter.FindButton(CImagePaint::kMaximizeId)->visible);
    EXPECT_TRUE(w->painter.FindButton(CImagePaint::kRestoreId)->visible);
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 0));
    EXPECT_FALSE(IsZoomed(h));
    EXPECT_TRUE(w->painter.FindButton(CImagePaint::kMaximizeId)->visible);

    w->painter.dragEnabled = false;
    SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(150, 10));
    EXPECT_FALSE(IsZoomed(h));

    // The maximise button (30) does the same through a click.
    Click(210, 10);
    EXPECT_TRUE(IsZoomed(h));
}

TEST_F(PainterWindow, PressingTheCaptionStartsTheSystemsDragOrTheWindowsOwn)
{
    using testing_support::WindowRect;
    HWND h = MakeStandard();
    MSG msg;
    auto takePosted = [&]() {
        return PeekMessageW(&msg, h, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != FALSE;
    };
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 20));
    EXPECT_FALSE(takePosted());  // drag not enabled
    w->painter.dragEnabled = true;
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 41));
    EXPECT_FALSE(takePosted());
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 40));
    ASSERT_TRUE(takePosted());
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(msg.lParam, At(150, 40));
    EXPECT_EQ(w->painter.pressRect.left, -1);

    // The window's own drag moves it without the system's caption drag.
    w->painter.dragWithoutActivation = true;
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 20));
    EXPECT_FALSE(takePosted());
    EXPECT_EQ(GetCapture(), h);
    // Each point is read against where the window is by then: the grip stays under the pointer.
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(170, 10));
    EXPECT_RECT(WindowRect(h), 120, 90, 420, 290);
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(145, 25));
    EXPECT_RECT(WindowRect(h), 115, 95, 415, 295);
    SendMessageW(h, WM_LBUTTONUP, 0, At(150, 20));
    EXPECT_NE(GetCapture(), h);
    SendMessageW(h, WM_MOUSEMOVE, 0, At(200, 100));
    EXPECT_RECT(WindowRect(h), 115, 95, 415, 295);
    // Losing the capture ends a drag as well.
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 20));
    ReleaseCapture();
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, At(190, 60));
    EXPECT_RECT(WindowRect(h), 115, 95, 415, 295);
    w->painter.dragWithoutActivation = false;

    // Another caption rectangle.
    w->painter.captionRect = RECT{0, 100, 300, 200};
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 20));
    EXPECT_FALSE(takePosted());
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 150));
    EXPECT_TRUE(takePosted());
    SendMessageW(h, WM_LBUTTONUP, 0, At(150, 150));
}

TEST_F(PainterWindow, AddButtonReusesAnExistingIdentifierInPlaceAndRemovingTheHotOneClearsHot)
{
    HWND h = MakeStandard();
    CImageButton* second = w->painter.FindButton(2);
    second->SetText(L"caption");
    CImageButton* again = w->painter.AddButton(2, RECT{0, 150, 40, 170}, 7, kBlue, 0, 0, 0);
    EXPECT_EQ(again, second);
    EXPECT_EQ(w->painter.buttons.size(), 3u);
    EXPECT_EQ(w->painter.buttons[1].get(), second);
    EXPECT_EQ(second->rect.top, 150);
    EXPECT_STREQ(second->text, L"");
    EXPECT_FALSE(second->images[CImageButton::ImageHover]);
    ExpectRendered(h, {{20, 160, kRgbBlue}});
    Gdiplus::Image* kept = second->images[0].Get();
    w->painter.AddButton(2, RECT{0, 100, 40, 120}, 0, 0, kGreen, 0, 0);
    EXPECT_EQ(second->images[0].Get(), kept);
    EXPECT_EQ(second->rect.top, 100);

    EXPECT_TRUE(w->painter.RemoveButton(2));
    EXPECT_FALSE(w->painter.RemoveButton(2));
    EXPECT_EQ(w->painter.FindButton(2), nullptr);

    // Statics: same key is updated in place; only 1007 is ever removed.
    CImageStatic* s = w->painter.AddStatic(RECT{0, 0, 10, 10}, kRed, 1007, false);
    EXPECT_EQ(w->painter.AddStatic(RECT{5, 5, 15, 15}, kMissing, 1007, true), s);
    EXPECT_EQ(s->image.Get(), nullptr);
    EXPECT_TRUE(s->cleanStretch);
    EXPECT_EQ(w->painter.statics.size(), 2u);
    EXPECT_TRUE(w->painter.RemoveStatic());
    EXPECT_FALSE(w->painter.RemoveStatic());
    EXPECT_EQ(w->painter.statics.size(), 1u);

    // Removing the hot button clears hot.
    SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
    ASSERT_TRUE(w->painter.hot);
    w->painter.RemoveButton(1);
    EXPECT_EQ(w->painter.hot, nullptr);
    SendMessageW(h, WM_MOUSEMOVE, 0, At(21, 60));
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(w->painter.mousePoint.x, -1);
    EXPECT_FALSE(w->painter.tracking);
}

TEST_F(PainterWindow, AnchoredElementsFollowAResize)
{
    HWND h = Make(300, 200);
    CImageButton* b = w->painter.AddButton(5, RECT{250, 170, 280, 190}, 0, kRed, 0, 0, 0);
    b->rightOffset = 20;
    b->bottomOffset = 10;
    CImageStatic* stretch = w->painter.AddStatic(RECT{10, 0, 290, 10}, kGreen, 1, false);
    stretch->rightOffset = 10;
    stretch->fixedLeft = 10;
    CImageStatic* moving = w->painter.AddStatic(RECT{0, 150, 20, 190}, kBlue, 2, false);
    moving->bottomOffset = 10;
    SetWindowPos(h, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_RECT(b->rect, 350, 270, 380, 290);
    EXPECT_RECT(stretch->rect, 10, 0, 390, 10);
    EXPECT_RECT(moving->rect, 0, 250, 20, 290);
    ExpectRendered(h, {{365, 280, kRgbRed}, {300, 5, kRgbGreen}, {5, 5, 0xFAFAFA},
                       {10, 260, kRgbBlue}, {265, 180, 0xFAFAFA}});
}

TEST_F(PainterWindow, LayeredWindowRendersWholeSurfaceWithAlphaAndBlendsPicturesAsGdiplusDoes)
{
    HWND h = MakeStandard(200, 120);
    w->painter.AddStatic(RECT{150, 100, 160, 110}, kHalfWhite, 2, false);
    w->painter.SetBackColor(0x0023373C);
    w->painter.EnableLayered();
    EXPECT_TRUE(HasStyle(h, GWL_EXSTYLE, WS_EX_LAYERED));
    EXPECT_TRUE(w->painter.layered);
    EXPECT_FALSE(w->painter.fillBackground);
    ASSERT_NE(w->painter.updateLayered, nullptr);
    w->painter.updateLayered = &testing_support::CapturingUpdateLayeredWindow;
    testing_support::LastLayeredSurface().pushes = 0;
    w->painter.UpdateLayered();
    ASSERT_EQ(pushed.pushes, 1);
    EXPECT_EQ(pushed.width, 200);
    EXPECT_EQ(pushed.height, 120);
    EXPECT_EQ(pushed.alpha, 255);
    EXPECT_EQ(pushed.At(100, 30), 0u);  // nothing drawn there: fully transparent
    EXPECT_EQ(pushed.At(5, 5), 0xFFFF0000u);
    EXPECT_EQ(pushed.At(30, 60), 0xFFFF0000u);
    EXPECT_EQ(pushed.At(120, 60), 0xFFFF0000u);  // 150 drawn
    // Half-transparent white stays premultiplied: alpha 128 and channels 128.
    EXPECT_TRUE(testing_support::ColorNear(pushed.At(155, 105), 0x80808080u, 2))
        << std::hex << pushed.At(155, 105);

    // A background colour with alpha, fill switched back on, covers the surface.
    w->painter.SetBackColor(0xFF0000FF);
    w->painter.UpdateLayered();
    EXPECT_EQ(pushed.At(100, 30), 0xFF0000FFu);
    w->painter.SetBackColor(0x0023373C);

    // Pictures and captions blended straight into the surface match what GDI+ draws:
    // half-transparent white over opaque red as well as over nothing, buttons' pictures at their
    // own size, and a caption kept from an earlier render until its text or colour changes.
    w->painter.AddStatic(RECT{10, 0, 30, 20}, kHalfWhite, 3, false);
    w->painter.AddButton(7, RECT{160, 10, 180, 20}, 0, kRed, 0, 0, 0);
    w->painter.AddButton(8, RECT{175, 15, 185, 25}, 0, kHalfWhite, 0, 0, 0);
    CImageButton* captioned = w->painter.FindButton(150);
    captioned->SetText(L"Go 确定");
    auto differingFromGdiplus = [&] {
        w->painter.UpdateLayered();
        CLayeredSurface drawnByGdiplus(h);
        if (static_cast<int>(pushed.pixels.size()) != 200 * 120 || !drawnByGdiplus.Graphics()) return -1;
        w->painter.DrawElements(*drawnByGdiplus.Graphics(), nullptr);
        GdiFlush();
        int differing = 0;
        for (int i = 0; i < 200 * 120; ++i) {
            if (!testing_support::ColorNear(pushed.pixels[i], drawnByGdiplus.Bits()[i], 1)) ++differing;
        }
        return differing;
    };
    EXPECT_EQ(differingFromGdiplus(), 0);
    EXPECT_TRUE(testing_support::ColorNear(pushed.At(15, 5), 0xFFFF8080u, 2)) << std::hex << pushed.At(15, 5);
    EXPECT_EQ(pushed.At(165, 12), 0xFFFF0000u);
    EXPECT_TRUE(testing_support::ColorNear(pushed.At(182, 20), 0x80808080u, 2)) << std::hex << pushed.At(182, 20);
    EXPECT_EQ(differingFromGdiplus(), 0);
    captioned->SetText(L"Stop");
    EXPECT_EQ(differingFromGdiplus(), 0);
    captioned->SetTextColors(0xFFFFFFFF, 0, 0);
    EXPECT_EQ(differingFromGdiplus(), 0);

    // Hover over a layered window redraws the whole surface at once.
    const int before = pushed.pushes;
    SendMessageW(h, WM_MOUSEMOVE, 0, At(30, 60));
    EXPECT_EQ(pushed.pushes, before + 1);
    EXPECT_EQ(pushed.At(30, 60), 0xFF00FF00u);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 60));
    EXPECT_EQ(pushed.At(30, 60), 0xFF0000FFu);
    SendMessageW(h, WM_LBUTTONUP, 0, At(30, 60));
    EXPECT_EQ(pushed.At(30, 60), 0xFF00FF00u);
    w->painter.alpha = 100;
    ShowWindow(h, SW_HIDE);
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(pushed.alpha, 100);
    EXPECT_EQ(w->painter.mousePoint.x, -1);
    // A frame pushed while the window is hidden is what showing it shows: no second push.
    ShowWindow(h, SW_HIDE);
    w->painter.UpdateLayered();
    const int hiddenPushes = pushed.pushes;
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(pushed.pushes, hiddenPushes);
    ShowWindow(h, SW_HIDE);
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(pushed.pushes, hiddenPushes + 1);

    // A re-created window starts unlayered.
    DestroyWindow(h);
    EXPECT_FALSE(w->painter.layered);
    HWND again = w->Create(0, nullptr, L"again", WS_POPUP, 0, 0, 50, 50, nullptr);
    ASSERT_TRUE(again);
    EXPECT_TRUE(HasStyle(again, GWL_EXSTYLE, 0, WS_EX_LAYERED));
}

TEST_F(PainterWindow, HoverChangesPlainAndLayeredAtChangingSizesLeaveNothingBehind)
{
    HWND h = MakeStandard();
    w->painter.FindButton(1)->SetText(L"one");
    w->painter.FindButton(2)->SetBorderColors(0xFF000000, 0xFF00FF00, 0);
    int changes = 0;
    EXPECT_TRUE(testing_support::LeavesNothingBehind(10, 1000, [&](int i) {
        CImageButton* before = w->painter.hot;
        SendMessageW(h, WM_MOUSEMOVE, 0, At(i % 2 ? 20 : 60, 60));
        if (w->painter.hot != before) ++changes;
        UpdateWindow(h);
        if (i % 50 == 0) PumpQueued();
    }));
    EXPECT_EQ(changes, 1010);

    // Layered, each round: a new size (the surface is made anew) and two hover changes at that
    // size (the surface is kept and only the buttons are rendered again).
    w->painter.EnableLayered();
    w->painter.updateLayered = &testing_support::CapturingUpdateLayeredWindow;
    size_t bytes = 0;
    EXPECT_TRUE(testing_support::LeavesNothingBehind(50, 1000, [&](int i) {
        if (i == 50) {
            bytes = testing_support::PrivateBytes();
            ASSERT_GT(bytes, 0u);
            testing_support::LastLayeredSurface().pushes = 0;
        }
        MoveWindow(h, 100, 100, 200 + (i % 7) * 13, 120 + (i % 5) * 11, FALSE);
        SendMessageW(h, WM_MOUSEMOVE, 0, At(20, 60));
        SendMessageW(h, WM_MOUSEMOVE, 0, At(60, 60));
    }));
    EXPECT_EQ(pushed.pushes, 3000);
    EXPECT_EQ(pushed.width, 200 + (1049 % 7) * 13);
    EXPECT_EQ(pushed.At(60, 60), 0xFF00FF00u);  // button 2 hot
    EXPECT_EQ(pushed.At(12, 52), 0xFFFF0000u);  // button 1 back to normal (beside its caption)
    // A surface left behind per render would be 100 kB or more each.
    EXPECT_LT(testing_support::PrivateBytes(), bytes + (8u << 20));
}

TEST_F(PainterWindow, RandomPointerMessagesKeepThePainterConsistent)
{
    const UINT kinds[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                          WM_RBUTTONUP, WM_MOUSELEAVE, WM_LBUTTONDBLCLK, WM_SHOWWINDOW};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    int windows = 0;
    for (int round = 0; round < 20; ++round) {
        HWND h = MakeStandard();
        ++windows;
        w->painter.AddButton(CImagePaint::kMinimizeId, RECT{200, 0, 220, 20}, 0, kRed, 0, 0, 0);
        w->painter.AddButton(CImagePaint::kCloseId, RECT{260, 0, 290, 20}, 0, kRed, 0, 0, 0);
        for (int i = 0; i < 300 && IsWindow(h); ++i) {
            const UINT message = kinds[next(8)];
            const int x = static_cast<int>(next(340)) - 20;
            const int y = static_cast<int>(next(240)) - 20;
            // Keep the window on screen: no minimise, no caption drag loops.
            w->painter.dragEnabled = false;
            if (message == WM_SHOWWINDOW) {
                SendMessageW(h, message, next(2), 0);
            } else {
                SendMessageW(h, message, 0, MAKELPARAM(x, y));
            }
            if (IsIconic(h)) ShowWindow(h, SW_RESTORE);
            CImageButton* hot = w->painter.hot;
            if (hot) {
                EXPECT_TRUE(std::any_of(w->painter.buttons.begin(), w->painter.buttons.end(),
                                        [hot](const auto& b) { return b.get() == hot; }));
                EXPECT_FALSE(CImagePaint::NeverHot(hot->id));
            }
            if (!w->painter.leftPressed && !w->painter.rightPressed) {
                EXPECT_NE(GetCapture(), h);
            }
        }
        if (IsWindow(h)) DestroyWindow(h);
        EXPECT_EQ(w->painter.hwnd, nullptr);
        EXPECT_TRUE(w->painter.buttons.empty());
    }
    EXPECT_EQ(windows, 20);
}
