#include "PainterTestUtil.h"
#include "PicturePreload.h"
#include "PngResource.h"

#include <gtest/gtest.h>

using namespace painter_test;

TEST(PicturePreload, HandsOutEachDecodedPictureOnceAndLeavesTheRestToTheLoader)
{
    {
        PicturePreload preload({kHalfWhite, kBroken, kRed});
        PicturePreload second({kBlue});  // one preload serves the process; this one holds nothing
        EXPECT_FALSE(PicturePreload::Take(kBlue));

        GdipPtr<Gdiplus::Image> red = LoadPngResource(kRed);  // waits for the thread if need be
        ASSERT_TRUE(red);
        Gdiplus::Color c;
        static_cast<Gdiplus::Bitmap&>(*red).GetPixel(19, 9, &c);
        EXPECT_EQ(c.GetValue(), 0xFFFF0000u);
        EXPECT_EQ(red->GetWidth(), 20u);

        // Handed out once; what did not decode or was not preloaded is the loader's as before.
        EXPECT_TRUE(PicturePreload::Take(kHalfWhite));
        EXPECT_FALSE(PicturePreload::Take(kHalfWhite));
        EXPECT_FALSE(PicturePreload::Take(kBroken));
        EXPECT_FALSE(PicturePreload::Take(kGreen));
        GdipPtr<Gdiplus::Image> again = LoadPngResource(kHalfWhite);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->GetLastStatus(), Gdiplus::Ok);
    }
    EXPECT_FALSE(PicturePreload::Take(kRed));

    // Made and dropped again and again, pictures left untaken: threads, handles and pictures go too.
    DWORD handles = 0, after = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    EXPECT_TRUE(testing_support::LeavesNothingBehind(5, 200, [](int i) {
        PicturePreload preload({kRed, kGreen, kBlue});
        if (i % 2) {
            EXPECT_TRUE(LoadPngResource(kGreen));
        }
    }));
    GetProcessHandleCount(GetCurrentProcess(), &after);
    EXPECT_LE(after, handles + 2);
}
