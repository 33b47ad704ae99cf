#include "CLayeredSurface.h"
#include "CSanDC.h"
#include "ComPtr.h"
#include "PainterTestUtil.h"
#include "PicturePixels.h"
#include "PngDecoder.h"
#include "PngResource.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace painter_test;
using testing_support::Bitmap32;

TEST(PngResource, LoadsOnlyExistingPngResourcesUndecodableOnesDrawNothingAndCropsCutOneFrame)
{
    EXPECT_FALSE(LoadPngResource(0));
    EXPECT_FALSE(LoadPngResource(kMissing));
    // Icon 128 exists, but not as a "PNG" resource.
    EXPECT_FALSE(LoadPngResource(128));

    GdipPtr<Gdiplus::Image> red(LoadPngResource(kRed));
    ASSERT_TRUE(red);
    EXPECT_EQ(red->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(red->GetWidth(), 20u);
    EXPECT_EQ(red->GetHeight(), 10u);

    // The data must outlive the loader: draw well after it returned.
    Bitmap32 out(20, 10);
    DrawOnWhite(out, [&](Gdiplus::Graphics& g) { g.DrawImage(red.Get(), 0, 0, 20, 10); });
    ExpectPixels(out, {{0, 0, kRgbRed}, {19, 9, kRgbRed}});

    // An undecodable PNG gives an image with an error status, or none; either draws nothing.
    GdipPtr<Gdiplus::Image> broken(LoadPngResource(kBroken));
    if (broken) {
        EXPECT_NE(broken->GetLastStatus(), Gdiplus::Ok);
        DrawOnWhite(out, [&](Gdiplus::Graphics& g) { g.DrawImage(broken.Get(), 0, 0, 8, 8); });
        EXPECT_EQ(Rgb(out, 4, 4), kRgbWhite);
    }

    // A picture keeps one copy of its pixels: not the decoder's copy as well, nor the PNG.
    std::vector<GdipPtr<Gdiplus::Image>> held;
    const size_t before = testing_support::PrivateBytes();
    for (int i = 0; i < 8; ++i) held.push_back(LoadPngResource(kLarge));
    EXPECT_EQ(held.back()->GetWidth(), 1024u);
    EXPECT_LT((testing_support::PrivateBytes() - before) / 8, 1024 * 512 * 4 * 3 / 2);

    // A crop cuts one frame of a strip into an ARGB bitmap.
    GdipPtr<Gdiplus::Image> strip(LoadPngResource(kStrip83));
    ASSERT_TRUE(strip);
    GdipPtr<Gdiplus::Bitmap> right(CropImage(*strip, 41, 41, 22));
    ASSERT_TRUE(right);
    EXPECT_EQ(right->GetWidth(), 41u);
    EXPECT_EQ(right->GetHeight(), 22u);
    EXPECT_EQ(right->GetPixelFormat(), PixelFormat32bppARGB);
    auto argb = [](Gdiplus::Bitmap& b, int x, int y) {
        Gdiplus::Color c;
        b.GetPixel(x, y, &c);
        return c.GetValue();
    };
    EXPECT_EQ(argb(*right, 0, 0), 0xFFFF00FFu);
    EXPECT_EQ(argb(*right, 40, 21), 0xFFFF00FFu);  // the white 83rd column is not in the frame
    GdipPtr<Gdiplus::Bitmap> left(CropImage(*strip, 0, 41, 22));
    EXPECT_EQ(argb(*left, 40, 0), 0xFF00FFFFu);
}

namespace {

// The chunk's CRC made to fit its (changed) type and data again.
void RefitCrc(std::vector<uint8_t>& png, size_t typeAt, size_t length)
{
    using Crc32 = DWORD(WINAPI*)(DWORD, const BYTE*, INT);
    static const auto crc = reinterpret_cast<Crc32>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlComputeCrc32")));
    const DWORD c = crc(0, png.data() + typeAt, static_cast<INT>(length + 4));
    for (int i = 0; i < 4; ++i) png[typeAt + 4 + length + i] = static_cast<uint8_t>(c >> (24 - 8 * i));
}

}  // namespace

TEST(PngResource, OwnDecoderReadsEveryFilterAndBlockKindAsGdiplusDoesLeavesOtherKindsToItAndRefusesDamage)
{
    for (int id : {kStored, kFixed, kDynamic, kRgb, kHalfWhite}) {
        SCOPED_TRACE(id);
        const std::vector<BYTE> bytes = testing_support::ResourceBytes(nullptr, L"PNG", MAKEINTRESOURCEW(id));
        PngDecoder own;
        EXPECT_EQ(own.Open(bytes.data(), bytes.size()), id != kRgb);
        auto stream = ComPtr<IStream>::Attach(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
        Gdiplus::Bitmap reference(stream.Get());
        GdipPtr<Gdiplus::Image> loaded = LoadPngResource(id);
        ASSERT_TRUE(loaded);
        ASSERT_EQ(loaded->GetLastStatus(), Gdiplus::Ok);
        const std::vector<uint32_t> pixels = testing_support::ArgbPixels(static_cast<Gdiplus::Bitmap&>(*loaded));
        ASSERT_FALSE(pixels.empty());
        EXPECT_TRUE(pixels == testing_support::ArgbPixels(reference));
        // Pictures drawn at their own size are scaled by their resolution.
        EXPECT_EQ(loaded->GetHorizontalResolution(), reference.GetHorizontalResolution());
        EXPECT_EQ(loaded->GetVerticalResolution(), reference.GetVerticalResolution());
    }

    // Damage is refused, never shown as pixels: a chunk that fails its CRC, a cut file, and
    // compressed data changed anywhere (with its CRC made to fit).
    const std::vector<BYTE> good = testing_support::ResourceBytes(nullptr, L"PNG", MAKEINTRESOURCEW(kDynamic));
    const char idat[] = "IDAT";
    const size_t typeAt = std::search(good.begin(), good.end(), idat, idat + 4) - good.begin();
    size_t length = 0;
    for (size_t i = typeAt - 4; i < typeAt; ++i) length = length << 8 | good[i];
    PngDecoder png;
    ASSERT_TRUE(png.Open(good.data(), good.size()));
    std::vector<uint8_t> pixels(png.BufferSize());
    EXPECT_TRUE(png.Decode(pixels.data()));
    for (size_t cut : {size_t{8}, typeAt + 8, good.size() - 1}) EXPECT_FALSE(png.Open(good.data(), cut)) << cut;
    int refused = 0, tries = 0;
    for (size_t at = typeAt + 4; at < typeAt + 4 + length; at += 61, ++tries) {
        std::vector<uint8_t> damaged = good;
        damaged[at] ^= 0x24;
        EXPECT_FALSE(png.Open(damaged.data(), damaged.size()));
        RefitCrc(damaged, typeAt, length);
        refused += png.Open(damaged.data(), damaged.size()) && !png.Decode(pixels.data());
    }
    EXPECT_EQ(refused, tries);
    EXPECT_GT(tries, 40);
}

TEST(OffscreenSurface, CopiesBackOnlyTheUpdateRectangleAndRepeatedSurfacesLeaveNoGdiObjects)
{
    Bitmap32 target(40, 40);
    target.Fill(0xFFFFFFFF);
    {
        CSanDC surface(target.dc, 40, 40, RECT{10, 10, 20, 25});
        ASSERT_TRUE(surface.memoryDC);
        ASSERT_TRUE(surface.bitmap);
        const UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        RECT all = {0, 0, 40, 40};
        FillRect(surface.memoryDC, &all, red.Get());
        EXPECT_EQ(Rgb(target, 15, 15), kRgbWhite);  // nothing reaches the target before the end
    }
    GdiFlush();
    ExpectPixels(target, {{10, 10, kRgbRed}, {19, 24, kRgbRed}, {20, 15, kRgbWhite},
                          {15, 25, kRgbWhite}, {9, 9, kRgbWhite}});

    // Warmed by a whole surface; then small updates and surfaces of no size by turns.
    EXPECT_TRUE(testing_support::LeavesNothingBehind(1, 300, [&](int i) {
        const int size = i % 2 ? 0 : 40;
        const RECT update = i == 0 ? RECT{0, 0, 40, 40} : i % 2 ? RECT{} : RECT{0, 0, 8, 8};
        CSanDC surface(target.dc, size, size, update);
    }));
}

namespace {
// What a push handed over beside the surface, which the shared capture keeps.
struct PushRecord {
    HWND hwnd = nullptr;
    POINT destination = {}, source = {};
    BLENDFUNCTION blend = {};
    DWORD flags = 0;
    bool screenDC = false;
};
PushRecord g_push;

BOOL WINAPI RecordingUpdate(HWND hwnd, HDC screen, POINT* dst, SIZE* size, HDC src, POINT* srcPt,
                            COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    g_push = PushRecord{hwnd, *dst, *srcPt, *blend, flags, screen != nullptr};
    return testing_support::CapturingUpdateLayeredWindow(hwnd, screen, dst, size, src, srcPt, key,
                                                         blend, flags);
}
}  // namespace

TEST(LayeredSurface, RendersTransparentSurfaceAndPushesItAtTheWindowPositionLeavingNothingBehind)
{
    ASSERT_NE(LookUpUpdateLayeredWindow(), nullptr);
    UniqueWindow popup = PlainWindow(WS_EX_LAYERED, WS_POPUP, 30, 40, 50, 20);
    HWND w = popup.Get();
    ASSERT_TRUE(w);
    {
        CLayeredSurface surface(w);
        ASSERT_NE(surface.Graphics(), nullptr);
        EXPECT_EQ(surface.width, 50);
        EXPECT_EQ(surface.height, 20);
        EXPECT_EQ(surface.Bits()[0], 0u);  // untouched pixels are fully transparent
        Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
        surface.Graphics()->FillRectangle(&red, 20, 5, 10, 10);
        testing_support::LastLayeredSurface() = testing_support::LayeredCapture{};
        // Recorded, and passed on: the system must accept the surface.
        EXPECT_TRUE(surface.Push(&RecordingUpdate, w, 200));
        EXPECT_TRUE(surface.Push(LookUpUpdateLayeredWindow(), w, 255));
    }
    EXPECT_EQ(pushed.pushes, 1);
    EXPECT_EQ(g_push.hwnd, w);
    EXPECT_TRUE(testing_support::PointIs(g_push.destination, POINT{30, 40}));
    EXPECT_EQ(pushed.width, 50);
    EXPECT_EQ(pushed.height, 20);
    EXPECT_EQ(g_push.source.x, 0);
    EXPECT_EQ(g_push.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(pushed.alpha, 200);
    EXPECT_EQ(g_push.blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_EQ(g_push.flags, static_cast<DWORD>(ULW_ALPHA));
    EXPECT_TRUE(g_push.screenDC);
    EXPECT_EQ(pushed.At(25, 10) & 0xFFFFFF, kRgbRed);
    EXPECT_EQ(pushed.At(5, 10), 0u);

    // Repeated surfaces leave no GDI or GDI+ object behind.
    EXPECT_TRUE(testing_support::LeavesNothingBehind(1, 300, [&](int) {
        CLayeredSurface surface(w);
        Gdiplus::SolidBrush b(Gdiplus::Color(0x80FFFFFF));
        surface.Graphics()->FillRectangle(&b, 0, 0, 10, 10);
        surface.Push(&RecordingUpdate, w, 255);
    }));

    // An empty client area pushes nothing.
    const int pushes = pushed.pushes;
    popup = PlainWindow(WS_EX_LAYERED, WS_POPUP, 0, 0, 0, 0);
    w = popup.Get();
    ASSERT_TRUE(w);
    {
        CLayeredSurface surface(w);
        EXPECT_EQ(surface.Graphics(), nullptr);
        EXPECT_FALSE(surface.Push(&RecordingUpdate, w, 255));
        EXPECT_EQ(pushed.pushes, pushes);
    }
}
