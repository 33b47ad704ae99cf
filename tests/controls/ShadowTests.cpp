// The shadow window: placement rule, and the rim it actually pushes to the screen, read back from
// the surface handed to UpdateLayeredWindow.
#include "CShadowCtrl.h"
#include "PainterTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace painter_test;
using testing_support::RectIs;
using testing_support::WindowRect;

// The alpha of what the shadow last pushed to the screen.
unsigned Alpha(int x, int y) { return pushed.At(x, y) >> 24; }

struct RecordedShadow {
    CShadowCtrl shadow;
    bool foundUpdate = false;  // the shadow looked UpdateLayeredWindow up
    explicit RecordedShadow(bool menuColors)
    {
        if (menuColors) shadow.SetMenuColors();
        shadow.Create(0, nullptr, nullptr, WS_POPUP, 100, 100, 0, 0, nullptr);
        foundUpdate = shadow.updateLayered != nullptr;
        shadow.updateLayered = testing_support::CapturingUpdateLayeredWindow;
        testing_support::LastLayeredSurface() = testing_support::LayeredCapture{};
    }
    ~RecordedShadow()
    {
        if (shadow.hwnd) DestroyWindow(shadow.hwnd);
    }
};

TEST(Shadow, ShowingPushesTheRimAtFullAlphaHidingPushesNothingAndTheRectangleGrowsByTheMargin)
{
    RecordedShadow r(false);
    HWND h = r.shadow.hwnd;
    ASSERT_TRUE(IsWindow(h));
    ASSERT_TRUE(r.foundUpdate);
    EXPECT_TRUE(HasStyle(h, GWL_EXSTYLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW, WS_EX_APPWINDOW));
    EXPECT_TRUE(HasStyle(h, GWL_STYLE, WS_CLIPCHILDREN));

    MoveWindow(h, 100, 100, 108, 84, FALSE);
    ShowWindow(h, SW_SHOWNOACTIVATE);
    ASSERT_EQ(pushed.pushes, 1);
    EXPECT_EQ(pushed.alpha, 255);
    ASSERT_EQ(pushed.width, 108);
    ASSERT_EQ(pushed.height, 84);

    // Along the middle of the left edge: outer pen around x 1, middle around x 3, inner around
    // x 6 (4 wide), nothing further in and nothing beyond the rim.
    const int y = 42;
    const unsigned outer = Alpha(1, y), middle = Alpha(3, y), inner = Alpha(6, y);
    EXPECT_NEAR(outer, 0x0F, 4);
    EXPECT_NEAR(middle, 0x32, 8);
    EXPECT_NEAR(inner, 0x64, 8);
    EXPECT_LT(outer, middle);
    EXPECT_LT(middle, inner);
    for (int x = 10; x < 98; ++x) ASSERT_EQ(pushed.At(x, y), 0u) << x;
    EXPECT_EQ(pushed.At(54, 42), 0u);
    // The same outlines along the other edges.
    EXPECT_NEAR(Alpha(106, y), 0x0F, 4);
    EXPECT_NEAR(Alpha(54, 1), 0x0F, 4);
    EXPECT_NEAR(Alpha(54, 77), 0x64, 8);
    // Premultiplied grey 0x8A: each colour channel is 0x8A * alpha / 255.
    const unsigned px = pushed.At(6, y);
    EXPECT_NEAR(px & 0xFF, 0x8Au * inner / 255, 3);
    // Rounded corners: the very corner pixel stays clear.
    EXPECT_EQ(Alpha(0, 0), 0u);

    testing_support::LastLayeredSurface().pushes = 0;
    ShowWindow(h, SW_HIDE);
    EXPECT_EQ(pushed.pushes, 0);

    r.shadow.Render(128);
    EXPECT_EQ(pushed.pushes, 1);
    EXPECT_EQ(pushed.alpha, 128);

    // The rule: the rectangle grows by the margin unless it has no width; the outlines of a
    // menu-sized shadow.
    EXPECT_TRUE(RectIs(ShadowRectFor(RECT{200, 150, 296, 222}, 6), RECT{194, 144, 302, 228}));
    EXPECT_TRUE(RectIs(ShadowRectFor(RECT{200, 150, 200, 222}, 6), RECT{200, 150, 200, 222}));

    ShadowOutline o[3];
    ShadowOutlines(RECT{0, 0, 108, 84}, r.shadow.margin, r.shadow.radius, o);
    const ShadowOutline want[3] = {{{1, 1, 106, 82}, 4}, {{3, 3, 104, 80}, 4}, {{6, 6, 101, 77}, 2}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(RectIs(o[i].rect, want[i].rect)) << "outline " << i;
        EXPECT_EQ(o[i].radius, want[i].radius) << "outline " << i;
    }
}

TEST(Shadow, MenuColoursSetBeforeCreationAreUsedFollowingPlacesTheShadowAndRendersLeakNothing)
{
    RecordedShadow r(true);
    HWND h = r.shadow.hwnd;
    ASSERT_TRUE(IsWindow(h));
    UniqueWindow decorated = PlainWindow(0, WS_POPUP, 300, 200, 96, 72);
    r.shadow.FollowWindow(decorated.Get());
    EXPECT_RECT(WindowRect(h), 294, 194, 402, 278);
    ASSERT_EQ(pushed.pushes, 1);
    ASSERT_EQ(pushed.width, 108);
    const unsigned px = pushed.At(6, 42);
    const unsigned a = px >> 24;
    EXPECT_NEAR(a, 0x64, 8);
    EXPECT_NEAR(px & 0xFF, 0x9Eu * a / 255, 3) << std::hex << px;
    decorated.Reset();
    EXPECT_TRUE(testing_support::LeavesNothingBehind(1, 200, [&](int i) { r.shadow.Render(static_cast<BYTE>(i)); }));
    EXPECT_EQ(pushed.pushes, 202);

    // Destroying the window releases the pens; colours stay for the next window.
    const long live = GdipLiveObjects().load();
    DestroyWindow(h);
    EXPECT_EQ(GdipLiveObjects().load(), live - 3);
    EXPECT_EQ(r.shadow.rim.colors[2], 0x649E9E9Eu);
}

}  // namespace
