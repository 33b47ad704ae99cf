// OLE and GDI+ are started once for the whole test program, and the thread has an application
// object so that windows can be created through the framework.
#include "CAppManager.h"

#include <ole2.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

namespace {
class GameViewEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        moduleInstance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterApp(&app_));
    }
    void TearDown() override
    {
        UnregisterApp(GetCurrentThreadId());
        Gdiplus::GdiplusShutdown(token_);
        OleUninitialize();
    }

private:
    ULONG_PTR token_ = 0;
    CAppManager app_;
};
}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GameViewEnvironment);
    return RUN_ALL_TESTS();
}
