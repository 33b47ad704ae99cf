#pragma once
// Shared helpers of the control tests: drawing elements into bitmaps, reading colours, pointer
// positions as messages carry them, and plain windows to stand beside the controls.
#include <windows.h>
#include <gdiplus.h>

#include "TestSupport.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace painter_test {

// Identifiers of the generated test pictures (PainterTestImages.rc.in).
enum : int {
    kRed = 201, kGreen = 202, kBlue = 203, kYellow = 204, kStrip82 = 205, kStrip83 = 206,
    kChecker = 207, kHalfWhite = 208, kBroken = 209, kLarge = 210, kStored = 211, kFixed = 212,
    kDynamic = 213, kRgb = 214, kMissing = 4321
};

constexpr unsigned kRgbRed = 0xFF0000, kRgbGreen = 0x00FF00, kRgbBlue = 0x0000FF,
                   kRgbWhite = 0xFFFFFF, kRgbCyan = 0x00FFFF, kRgbMagenta = 0xFF00FF;

// A client point as the pointer messages carry it.
inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// A plain window of the test's own, destroyed with its holder.
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &DestroyWindow>>;
inline UniqueWindow PlainWindow(DWORD exStyle, DWORD style, int x, int y, int w, int h)
{
    return UniqueWindow(CreateWindowExW(exStyle, L"STATIC", L"", style, x, y, w, h, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr));
}

// Whether the window's style (which: GWL_STYLE or GWL_EXSTYLE) has every bit of on and none of off.
inline ::testing::AssertionResult HasStyle(HWND h, int which, LONG_PTR on, LONG_PTR off = 0)
{
    const LONG_PTR style = GetWindowLongPtrW(h, which);
    if ((style & (on | off)) == on) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << std::hex << "style " << style << " wants " << on << " without " << off;
}

// The last surface pushed through CapturingUpdateLayeredWindow.
inline const testing_support::LayeredCapture& pushed = testing_support::LastLayeredSurface();

inline unsigned Rgb(const testing_support::Bitmap32& b, int x, int y)
{
    return b.At(x, y) & 0xFFFFFF;
}

// A pixel and the colour (0xRRGGBB) expected there.
struct Pixel {
    int x, y;
    unsigned rgb;
};

// Expects each listed pixel of the bitmap to have its colour, each channel within the tolerance.
inline void ExpectPixels(const testing_support::Bitmap32& b, std::initializer_list<Pixel> pixels,
                         int tolerance = 0)
{
    for (const Pixel& p : pixels)
        EXPECT_TRUE(testing_support::ColorNear(Rgb(b, p.x, p.y), p.rgb, tolerance))
            << std::hex << Rgb(b, p.x, p.y) << " where " << p.rgb << " was expected, at "
            << std::dec << p.x << "," << p.y;
}

// Runs draw(g) on a Graphics made on the bitmap's DC, then flushes GDI.
template <typename F>
void DrawInto(testing_support::Bitmap32& b, F draw)
{
    {
        Gdiplus::Graphics g(b.dc);
        draw(g);
    }
    GdiFlush();
}

// The same on a bitmap filled white first.
template <typename F>
void DrawOnWhite(testing_support::Bitmap32& b, F draw)
{
    b.Fill(0xFFFFFFFF);
    DrawInto(b, draw);
}

// Points (x, y) of the area for which holds(x, y) is true.
template <typename F>
int CountWhere(const RECT& area, F holds)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (holds(x, y)) ++n;
    return n;
}

// Renders a window's client area (over a colour nothing draws) and expects the pixels.
inline void ExpectRendered(HWND h, std::initializer_list<Pixel> pixels, int tolerance = 0)
{
    RECT client;
    GetClientRect(h, &client);
    testing_support::Bitmap32 out(client.right, client.bottom);
    out.Fill(0xFF123456);
    testing_support::CaptureWindow(h, out);
    ExpectPixels(out, pixels, tolerance);
}

// Pixels in the area whose colour differs from background.
inline int CountNot(const testing_support::Bitmap32& b, const RECT& area, unsigned background)
{
    return CountWhere(area, [&](int x, int y) { return Rgb(b, x, y) != background; });
}

}  // namespace painter_test
