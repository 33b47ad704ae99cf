#include "GuiTestEnvironment.h"

#include <gdiplus.h>
#include <ole2.h>

namespace testing_support {

namespace {
bool& InstalledFlag()
{
    static bool installed = false;
    return installed;
}
}  // namespace

void GuiTestEnvironment::SetUp()
{
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr), Gdiplus::Ok);
    moduleInstance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterApp(&app));
}

void GuiTestEnvironment::TearDown()
{
    UnregisterApp(GetCurrentThreadId());
    Gdiplus::GdiplusShutdown(gdiplusToken);
    OleUninitialize();
}

bool GuiTestEnvironment::Install(CAppManager& app)
{
    ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment(app));
    InstalledFlag() = true;
    return true;
}

bool GuiTestEnvironment::Installed() { return InstalledFlag(); }

}  // namespace testing_support
