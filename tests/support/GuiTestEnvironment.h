#pragma once
#include <gtest/gtest.h>

#include "CAppManager.h"

namespace testing_support {

// What the GUI test programs have on their test thread, as the programs' entries leave it: OLE
// (a single-threaded apartment, which the browser control needs), GDI+, and an application
// object, so that windows can be created through the framework.
class GuiTestEnvironment : public ::testing::Environment {
public:
    // app is registered for the test thread while the tests run; it is not owned.
    explicit GuiTestEnvironment(CAppManager& app) : app(app) {}
    void SetUp() override;
    void TearDown() override;

    // Adds the environment for app. A program whose tests need an application object of its
    // own calls this while its statics are initialised; main then adds no plain one.
    static bool Install(CAppManager& app);
    static bool Installed();

private:
    CAppManager& app;
    ULONG_PTR gdiplusToken = 0;
};

}  // namespace testing_support
