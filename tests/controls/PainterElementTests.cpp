#include "CImageButton.h"
#include "CImageStatic.h"
#include "PainterTestUtil.h"
#include "PngResource.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

using namespace painter_test;
using testing_support::Bitmap32;
using testing_support::ColorNear;

namespace {
const POINT kOutside = {-1, -1};
const POINT kInside = {10, 5};
const RECT kCaptionBox = {0, 0, 80, 24};

// Draws the button over white and answers the colour at (x, y).
unsigned DrawButtonAt(CImageButton& b, POINT mouse, bool pressed, int x, int y, int w = 40,
                      int h = 20)
{
    Bitmap32 out(w, h);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { b.Draw(g, mouse, pressed, nullptr); });
    return Rgb(out, x, y);
}

// The colour at (10, 5) of one look: where the pointer is, and whether the button is pressed.
struct Look {
    POINT mouse;
    bool pressed;
    unsigned rgb;
};
void ExpectLooks(CImageButton& b, std::initializer_list<Look> looks)
{
    for (const Look& l : looks)
        EXPECT_EQ(DrawButtonAt(b, l.mouse, l.pressed, 10, 5), l.rgb)
            << "pointer at " << l.mouse.x << "," << l.mouse.y << (l.pressed ? ", pressed" : "");
}

// Draws the button over white once (into the box, when one is given) and expects each pixel.
void ExpectButton(CImageButton& b, POINT mouse, bool pressed, std::initializer_list<Pixel> pixels,
                  const RECT* box = nullptr)
{
    Bitmap32 out(40, 20);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { b.Draw(g, mouse, pressed, box); });
    ExpectPixels(out, pixels);
}
}  // namespace

TEST(ImageButton, LooksImageFallbacksAndOverrideBoxes)
{
    CImageButton b(nullptr, 1, RECT{0, 0, 20, 10}, L"");
    b.SetImages(kRed, kGreen, kBlue, kYellow);
    // Pressed elsewhere looks normal; the right edge is outside.
    ExpectLooks(b, {{kOutside, false, kRgbRed}, {kOutside, true, kRgbRed}, {kInside, false, kRgbGreen},
                    {kInside, true, kRgbBlue}, {POINT{20, 5}, false, kRgbRed}});
    ASSERT_TRUE(b.images[CImageButton::ImageExtra]);  // loaded, never drawn

    b.latched = true;
    EXPECT_EQ(DrawButtonAt(b, kOutside, false, 10, 5), kRgbBlue);
    b.latched = false;

    // Drawn into an override box, and its look read from that box; an empty box is no override.
    const RECT box = {20, 10, 40, 20}, empty = {};
    ExpectButton(b, POINT{30, 15}, false, {{30, 15, kRgbGreen}, {10, 5, kRgbWhite}}, &box);
    ExpectButton(b, POINT{30, 15}, false, {{10, 5, kRgbRed}}, &empty);

    b.SetImages(kRed, kGreen, 0, 0);
    EXPECT_EQ(DrawButtonAt(b, kInside, true, 10, 5), kRgbGreen);
    EXPECT_FALSE(b.images[CImageButton::ImageExtra]);
    b.SetImages(kRed, 0, 0, 0);
    ExpectLooks(b, {{kInside, true, kRgbRed}, {kInside, false, kRgbRed}});
    b.SetImages(kRed, kMissing, kBlue, 0);  // a missing resource leaves that look without image
    ExpectLooks(b, {{kInside, false, kRgbRed}, {kInside, true, kRgbBlue}});

    // A zero normal image changes nothing at all.
    Gdiplus::Image* before = b.images[0].Get();
    b.SetImages(0, kGreen, kGreen, kGreen);
    EXPECT_EQ(b.images[0].Get(), before);
    EXPECT_FALSE(b.images[CImageButton::ImageHover]);
    EXPECT_EQ(DrawButtonAt(b, kInside, true, 10, 5), kRgbBlue);

    b.visible = false;
    EXPECT_EQ(DrawButtonAt(b, kInside, true, 10, 5), kRgbWhite);
}

TEST(ImageButton, ImageModesCombineStateImages)
{
    CImageButton b(nullptr, 1, RECT{0, 0, 40, 20}, L"");
    b.SetImages(kRed, kGreen, 0, 0);

    // Mode 3 with a non-zero x offset: unscaled 20 x 10 at (5, 3).
    b.imageOffset = POINT{5, 3};
    ExpectButton(b, kOutside, false, {{6, 4, kRgbRed}, {24, 12, kRgbRed}, {26, 12, kRgbWhite},
                                      {6, 14, kRgbWhite}, {3, 4, kRgbWhite}});
    // Only x selects unscaled drawing: (0, 5) still stretches over the whole box.
    b.imageOffset = POINT{0, 5};
    ExpectButton(b, kOutside, false, {{38, 18, kRgbRed}, {1, 1, kRgbRed}});
    b.imageOffset = POINT{0, 0};

    // Mode 4: the chosen look first, then the normal image over it.
    b.imageMode = 4;
    EXPECT_EQ(DrawButtonAt(b, POINT{10, 5}, false, 10, 5), kRgbRed);
    // Mode 5: normal first, then the chosen look over it.
    b.imageMode = 5;
    ExpectLooks(b, {{POINT{10, 5}, false, kRgbGreen}, {kOutside, false, kRgbRed}});
    // Any other mode draws no image.
    b.imageMode = 0;
    EXPECT_EQ(DrawButtonAt(b, kOutside, false, 10, 5), kRgbWhite);

    // Mode 4 with a half-transparent hover image under the opaque normal: still normal.
    b.imageMode = 4;
    b.SetImages(kHalfWhite, kRed, 0, 0);
    const unsigned hover4 = DrawButtonAt(b, POINT{10, 5}, false, 10, 5);
    b.imageMode = 5;
    const unsigned hover5 = DrawButtonAt(b, POINT{10, 5}, false, 10, 5);
    EXPECT_EQ(hover5, kRgbRed);  // opaque red on top
    EXPECT_TRUE(ColorNear(hover4, 0xFF7F7F, 3)) << std::hex << hover4;
}

TEST(ImageButton, ImageStripGivesTwoHalfWidthFrames)
{
    for (int id : {kStrip82, kStrip83}) {
        CImageButton b(nullptr, 1, RECT{0, 0, 41, 22}, L"");
        b.SetImages(kRed, kRed, kBlue, kYellow);
        b.SetImageStrip(id);
        ASSERT_TRUE(b.strip);
        ASSERT_TRUE(b.images[0]);
        EXPECT_EQ(b.images[0]->GetWidth(), 41u);
        EXPECT_EQ(b.images[0]->GetHeight(), 22u);
        EXPECT_EQ(b.images[1]->GetWidth(), 41u);
        EXPECT_EQ(DrawButtonAt(b, kOutside, false, 40, 21, 41, 22), kRgbCyan) << id;
        EXPECT_EQ(DrawButtonAt(b, kInside, false, 40, 21, 41, 22), kRgbMagenta) << id;
        // The pressed image is not touched.
        EXPECT_EQ(DrawButtonAt(b, kInside, true, 20, 11, 41, 22), kRgbBlue) << id;
    }
    CImageButton plain(nullptr, 1, RECT{0, 0, 20, 10}, L"");
    plain.SetImages(kRed, kGreen, 0, 0);
    plain.SetImageStrip(kMissing);
    plain.SetImageStrip(kBroken);
    EXPECT_EQ(DrawButtonAt(plain, kInside, false, 10, 5), kRgbGreen);
    EXPECT_FALSE(plain.strip);
}

TEST(ImageButton, BackgroundBorderAndIcon)
{
    CImageButton b(nullptr, 1, RECT{2, 2, 22, 12}, L"");
    b.SetBackColors(0xFF00FF00, 0, 0xFF0000FF);
    ExpectButton(b, kOutside, false, {{2, 2, kRgbGreen}, {21, 11, kRgbGreen}, {22, 12, kRgbWhite}});
    EXPECT_EQ(DrawButtonAt(b, kInside, false, 12, 7), kRgbGreen);  // hover falls back to normal
    EXPECT_EQ(DrawButtonAt(b, kInside, true, 12, 7), kRgbBlue);

    b.SetBorderColors(0xFFFF0000, 0, 0);
    // Fill shrinks by one pixel; the border runs inside the right and bottom edges with cut
    // corners: a cut corner, the left edge, the right edge at r - 1, the bottom at b - 1, the top
    // and the fill inside.
    ExpectButton(b, kOutside, false, {{2, 2, kRgbWhite}, {2, 7, kRgbRed}, {21, 7, kRgbRed},
                                      {12, 11, kRgbRed}, {12, 2, kRgbRed}, {12, 7, kRgbGreen}});
    EXPECT_EQ(DrawButtonAt(b, kInside, true, 21, 7), kRgbRed);       // pressed falls back

    CImageButton withIcon(nullptr, 1, RECT{0, 0, 40, 20}, L"");
    withIcon.SetIcons(kRed, kGreen);
    withIcon.iconRect = RECT{4, 4, 14, 14};
    EXPECT_TRUE(withIcon.showIcon);
    ExpectButton(withIcon, kOutside, false, {{8, 8, kRgbRed}, {15, 8, kRgbWhite}});
    EXPECT_EQ(DrawButtonAt(withIcon, POINT{30, 10}, false, 8, 8), kRgbGreen);
    EXPECT_EQ(DrawButtonAt(withIcon, POINT{30, 10}, true, 8, 8), kRgbGreen);
    withIcon.showIcon = false;
    EXPECT_EQ(DrawButtonAt(withIcon, kOutside, false, 8, 8), kRgbWhite);
}

TEST(ImageButton, CaptionColoursFollowTheLookAndItsFallbacksAndALongCaptionIsCut)
{
    // The caption's pixels within the area (by default the whole button) of a drawing over white.
    auto inkFor = [&](CImageButton& b, POINT mouse, bool pressed, const RECT& within = kCaptionBox) {
        Bitmap32 out(120, 24);
        DrawOnWhite(out, [&](Gdiplus::Graphics& g) { b.Draw(g, mouse, pressed, nullptr); });
        return CountNot(out, within, kRgbWhite);
    };
    CImageButton b(nullptr, 1, kCaptionBox, L"Hello");
    const POINT in = {40, 12};
    EXPECT_GT(inkFor(b, kOutside, false), 10);  // default black caption
    b.showText = false;
    EXPECT_EQ(inkFor(b, kOutside, false), 0);
    b.showText = true;

    b.SetTextColors(0x00000000, 0xFF0000FF, 0);
    EXPECT_EQ(inkFor(b, kOutside, false), 0);
    EXPECT_GT(inkFor(b, in, false), 10);
    EXPECT_EQ(inkFor(b, in, true), 0);  // pressed falls back to the missing normal brush

    b.SetTextColors(0xFF000000, 0, 0);
    EXPECT_GT(inkFor(b, in, true), 10);
    b.SetText(L"");
    EXPECT_EQ(inkFor(b, in, true), 0);

    // A long caption is cut with an ellipsis at its box, and the buffer is bounded.
    const std::wstring longText(400, L'x');
    CImageButton cut(nullptr, 1, RECT{0, 0, 60, 20}, longText.c_str());
    EXPECT_EQ(wcslen(cut.text), 255u);
    cut.SetText(L"alpha beta gamma delta epsilon zeta");
    EXPECT_GT(inkFor(cut, kOutside, false, RECT{0, 0, 60, 20}), 10);
    EXPECT_EQ(inkFor(cut, kOutside, false, RECT{60, 0, 120, 24}), 0);  // nothing past the box
}

TEST(ImageButton, ReleasesEveryGdiplusObject)
{
    const long before = GdipLiveObjects();
    {
        CImageButton b(nullptr, 1, RECT{0, 0, 20, 10}, L"x");
        b.SetImages(kRed, kGreen, kBlue, kYellow);
        b.SetImages(kRed, kGreen, kGreen, kRed);  // decoded once each, copied for the repeats
        ASSERT_TRUE(b.images[CImageButton::ImagePressed] && b.images[CImageButton::ImageExtra]);
        b.SetImageStrip(kStrip82);
        b.SetImageStrip(kStrip83);
        b.SetIcons(kRed, kGreen);
        b.SetTextColors(0xFF000000, 0xFF111111, 0xFF222222);
        b.SetBackColors(0xFF000000, 0xFF111111, 0xFF222222);
        b.SetBorderColors(0xFF000000, 0xFF111111, 0xFF222222);
        Bitmap32 out(20, 10);
        DrawInto(out, [&](Gdiplus::Graphics& g) { b.Draw(g, kOutside, false, nullptr); });
        ASSERT_TRUE(b.font) << "the caption's font, made when first drawn";
        b.altFont.Reset(new Gdiplus::Font(Gdiplus::FontFamily::GenericSansSerif(), 12.0f));
        EXPECT_GT(GdipLiveObjects(), before + 10);
    }
    EXPECT_EQ(GdipLiveObjects(), before);
}

TEST(ImageStatic, DrawsAtItsRectOrAtAnOverrideFillsOnePixelUpAndLeftAndStretchesCleanly)
{
    CImageStatic s;
    s.rect = RECT{5, 5, 25, 15};
    s.SetImage(LoadPngResource(kRed));
    Bitmap32 out(60, 40);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
    ExpectPixels(out, {{5, 5, kRgbRed}, {24, 14, kRgbRed}, {25, 10, kRgbWhite}});

    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{30, 20, 50, 40}); });
    ExpectPixels(out, {{10, 10, kRgbWhite}, {45, 35, kRgbRed}});
    // An override with zero width is ignored even when its other fields are set.
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{30, 20, 30, 40}); });
    EXPECT_EQ(Rgb(out, 10, 10), kRgbRed);

    s.visible = false;
    s.SetBackColor(0xFF0000FF);
    s.SetText(L"text");
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
    EXPECT_EQ(CountNot(out, RECT{0, 0, 60, 40}, kRgbWhite), 0);

    // A fill covers one pixel more up and left.
    CImageStatic fill;
    fill.rect = RECT{10, 10, 20, 20};
    fill.SetBackColor(0xFF00FF00);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { fill.Draw(g, RECT{}); });
    ExpectPixels(out, {{9, 9, kRgbGreen}, {19, 19, kRgbGreen}, {20, 15, kRgbWhite},
                       {15, 20, kRgbWhite}, {8, 15, kRgbWhite}});

    // A clean stretch keeps the edges solid: the flipped tiles mirror the edge pixels, so nothing
    // of the white background mixes in (a plain stretch blends the outermost pixels with what
    // lies beneath).
    CImageStatic stretched;
    stretched.rect = RECT{0, 0, 40, 40};
    stretched.SetImage(LoadPngResource(kChecker));
    stretched.cleanStretch = true;
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { stretched.Draw(g, RECT{}); });
    ExpectPixels(out, {{0, 0, kRgbRed}, {39, 0, kRgbBlue}, {39, 39, kRgbRed}, {0, 39, kRgbBlue}});
}

TEST(ImageStatic, TextAloneIsCentred)
{
    CImageStatic s;
    s.rect = RECT{0, 0, 200, 40};
    s.SetText(L"Mid");
    Bitmap32 out(200, 40);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
    EXPECT_GT(CountNot(out, RECT{80, 10, 120, 30}, kRgbWhite), 5);
    EXPECT_EQ(CountNot(out, RECT{0, 0, 60, 40}, kRgbWhite), 0);
    EXPECT_EQ(CountNot(out, RECT{140, 0, 200, 40}, kRgbWhite), 0);
    EXPECT_EQ(CountNot(out, RECT{0, 0, 200, 8}, kRgbWhite), 0);

    s.SetTextColor(0);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
    EXPECT_EQ(CountNot(out, RECT{0, 0, 200, 40}, kRgbWhite), 0);
}

TEST(ImageStatic, PictureAtItsOwnSizeDrawsTheSamePixelsAndIsReleased)
{
    const long before = GdipLiveObjects();
    {
        CImageStatic s;
        s.rect = RECT{0, 0, 10, 10};
        s.SetImage(LoadPngResource(kHalfWhite));
        Bitmap32 own(10, 10), plain(10, 10);
        own.Fill(0xFF000000);
        plain.Fill(0xFF000000);
        DrawInto(own, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
        DrawInto(own, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
        DrawInto(plain, [&](Gdiplus::Graphics& g) {
            g.DrawImage(s.image.Get(), 0, 0, 10, 10);
            g.DrawImage(s.image.Get(), 0, 0, 10, 10);
        });
        EXPECT_TRUE(ColorNear(own.At(5, 5), plain.At(5, 5), 2))
            << std::hex << own.At(5, 5) << " " << plain.At(5, 5);
        s.SetImage(LoadPngResource(kRed));
        own.Fill(0xFF000000);
        DrawInto(own, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{0, 0, 20, 10}); });
        EXPECT_EQ(Rgb(own, 5, 5), kRgbRed);
    }
    EXPECT_EQ(GdipLiveObjects(), before);
}

TEST(ImageStatic, PreparedPictureMatchesDirectDrawingAtAnySizeAndClip)
{
    CImageStatic s;
    s.SetImage(LoadPngResource(kChecker));
    GdipPtr<Gdiplus::Image> reference(LoadPngResource(kChecker));
    for (const RECT& r : {RECT{3, 4, 43, 34}, RECT{0, 0, 2, 2}, RECT{5, 5, 50, 13}}) {
        s.rect = r;
        Bitmap32 prepared(60, 40), direct(60, 40), clipped(60, 40);
        DrawOnWhite(prepared, [&](Gdiplus::Graphics& g) { s.Draw(g, RECT{}); });
        DrawOnWhite(direct, [&](Gdiplus::Graphics& g) {
            g.DrawImage(reference.Get(), static_cast<INT>(r.left), static_cast<INT>(r.top),
                        static_cast<INT>(r.right - r.left), static_cast<INT>(r.bottom - r.top));
        });
        DrawOnWhite(clipped, [&](Gdiplus::Graphics& g) {
            g.SetClip(Gdiplus::Rect(10, 6, 15, 9));
            s.Draw(g, RECT{});
        });
        // A direct stretch onto a DC treats the outermost row and column differently from one
        // into a bitmap; inside them the pixels must agree. Covered inside, untouched outside.
        const bool ownSize = r.right - r.left == 2 && r.bottom - r.top == 2;
        const int differing = CountWhere(RECT{0, 0, 60, 40}, [&](int x, int y) {
            const bool inner = x > r.left && x < r.right - 1 && y > r.top && y < r.bottom - 1;
            const bool outside = x < r.left || x >= r.right || y < r.top || y >= r.bottom;
            const bool white = Rgb(prepared, x, y) == 0xFFFFFF;
            return ((ownSize || inner) && !ColorNear(prepared.At(x, y), direct.At(x, y), 2)) ||
                   (inner && white) || (outside && !white);
        });
        const int clipDiffering = CountWhere(RECT{0, 0, 60, 40}, [&](int x, int y) {
            const bool inClip = x >= 10 && x < 25 && y >= 6 && y < 15;
            return !ColorNear(clipped.At(x, y), inClip ? prepared.At(x, y) : 0xFFFFFFFFu, 0);
        });
        EXPECT_EQ(differing, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_EQ(clipDiffering, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}
