// OLE and GDI+ are up for the whole program, and the thread has the client's application
// object (as the program entry leaves it), so game windows can be created as in the client.
#include "ClientTestUtil.h"
#include "gameApp.h"

#include <gdiplus.h>
#include <gtest/gtest.h>
#include <ole2.h>

namespace {
class ClientEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        moduleInstance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterApp(&app_));
        clientApp = &app_;
        // No operator site runs here: the pages stay blank.
        wcscpy(app_.startUrl, L"about:blank");
    }
    void TearDown() override
    {
        clientApp = nullptr;
        UnregisterApp(GetCurrentThreadId());
        Gdiplus::GdiplusShutdown(token_);
        OleUninitialize();
    }

private:
    ULONG_PTR token_ = 0;
    gameApp app_;
};
}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ClientEnvironment);
    return RUN_ALL_TESTS();
}
