#include "ClientTestUtil.h"

#include "GuiTestEnvironment.h"
#include "gameApp.h"

namespace {
// The client's application object on the test thread, as the program entry leaves it. No
// operator site runs here: the pages stay blank.
const bool clientAppInstalled = [] {
    static gameApp app;
    wcscpy(app.startUrl, L"about:blank");
    clientApp = &app;
    return testing_support::GuiTestEnvironment::Install(app);
}();
}  // namespace
