// OLE on the test thread (the control needs a single-threaded apartment) and an application
// object, so that framework windows can be created by the tests.
#include "CAppManager.h"

#include <gtest/gtest.h>
#include <ole2.h>

namespace {

class BrowserTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_TRUE(RegisterApp(&app));
        moduleInstance = GetModuleHandleW(nullptr);
    }
    void TearDown() override
    {
        UnregisterApp(app.threadId);
        OleUninitialize();
    }

private:
    CAppManager app;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new BrowserTestEnvironment);

}  // namespace
