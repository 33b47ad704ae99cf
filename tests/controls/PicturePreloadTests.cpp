#include "PainterTestUtil.h"
#include "PicturePreload.h"
#include "PngResource.h"

#include <gtest/gtest.h>

using namespace painter_test;

namespace {
DWORD Handles()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

Gdiplus::ARGB PixelOf(Gdiplus::Image& image, int x, int y)
{
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap&>(image).GetPixel(x, y, &c);
    return c.GetValue();
}
}  // namespace

TEST(PicturePreload, HandsOutEachDecodedPictureOnceAndLeavesTheRestToTheLoader)
{
    {
        PicturePreload preload({kHalfWhite, kBroken, kRed});
        // A second preload while one serves the process holds nothing.
        PicturePreload second({kBlue});
        EXPECT_FALSE(PicturePreload::Take(kBlue));

        GdipPtr<Gdiplus::Image> early = LoadPngResource(kRed);  // waits for the thread if need be
        GdipPtr<Gdiplus::Image> direct = DecodePngResource(kHalfWhite);
        GdipPtr<Gdiplus::Image> preloaded = LoadPngResource(kHalfWhite);
        ASSERT_TRUE(early && direct && preloaded);
        EXPECT_NE(preloaded.Get(), direct.Get());
        ASSERT_EQ(preloaded->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(preloaded->GetWidth(), direct->GetWidth());
        EXPECT_EQ(preloaded->GetHeight(), direct->GetHeight());
        EXPECT_EQ(PixelOf(*preloaded, 1, 1), PixelOf(*direct, 1, 1));
        EXPECT_EQ(PixelOf(*early, 0, 0), 0xFFFF0000u);

        // Handed out once; what did not decode or was not preloaded is the loader's as before.
        EXPECT_FALSE(PicturePreload::Take(kHalfWhite));
        EXPECT_FALSE(PicturePreload::Take(kBroken));
        EXPECT_FALSE(PicturePreload::Take(kGreen));
        GdipPtr<Gdiplus::Image> again = LoadPngResource(kHalfWhite);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->GetLastStatus(), Gdiplus::Ok);
        GdipPtr<Gdiplus::Image> broken = LoadPngResource(kBroken);
        if (broken) {
            EXPECT_NE(broken->GetLastStatus(), Gdiplus::Ok);
        }
    }
    EXPECT_FALSE(PicturePreload::Take(kRed));

    // Made and dropped again and again, with pictures left untaken: threads, handles and pictures
    // all go with it.
    const DWORD handles = Handles();
    EXPECT_TRUE(testing_support::LeavesNothingBehind(5, 200, [](int i) {
        PicturePreload preload({kRed, kGreen, kBlue});
        if (i % 2) {
            EXPECT_TRUE(LoadPngResource(kGreen));
        }
    }));
    EXPECT_LE(Handles(), handles + 2);
}
