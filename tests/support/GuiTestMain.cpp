// Entry of the GUI test programs: the test environment with a plain application object, unless
// the program installed one with its own.
#include "GuiTestEnvironment.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    static CAppManager plainApp;
    if (!testing_support::GuiTestEnvironment::Installed())
        testing_support::GuiTestEnvironment::Install(plainApp);
    return RUN_ALL_TESTS();
}
