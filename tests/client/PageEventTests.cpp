// Page events as the control and page script raise them: through the browser's event sink
// (DWebBrowserEvents2 Invoke) and the window.external bridge; the offline notice that failed
// navigations bring up.
#include "ClientTestUtil.h"
#include "DispatchArgs.h"
#include "GameMessages.h"
#include "WebLinks.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace client_test;
using PageEvents = StartUpViewTest;

namespace {

// NavigateComplete2 or DocumentComplete of the top-level frame for an address, fired at the game
// window's site as the control fires it.
void FrameEvent(CFrameGame& game, DISPID id, const wchar_t* address)
{
    CWebBrowser& site = game.html.browser;
    ASSERT_EQ(DispatchArgs().Dispatch(&site).RefText(address).Invoke(&site, id), S_OK);
}
void NavigateComplete(CFrameGame& game, const wchar_t* url) { FrameEvent(game, DISPID_NAVIGATECOMPLETE2, url); }
void DocumentComplete(CFrameGame& game, const wchar_t* url) { FrameEvent(game, DISPID_DOCUMENTCOMPLETE, url); }

// NewWindow3 for an address; the cancel flag the handler left.
VARIANT_BOOL NewWindow(CFrameGame& game, const wchar_t* address)
{
    IDispatch* slot = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    DispatchArgs args;
    args.RefDispatch(&slot).RefBool(&cancel).Plain(VT_I4, 0x6).Text(L"http://127.0.0.1/page").Text(address);
    EXPECT_EQ(args.Invoke(&game.html.browser, DISPID_NEWWINDOW3), S_OK);
    return cancel;
}

// window.external.pelvar_title(args...) as script calls it; the call's value.
std::wstring PageCall(CFrameGame& game, const std::vector<std::wstring>& args)
{
    CImpIDispatch& bridge = game.html.browser.bridge;
    LPOLESTR name = const_cast<LPOLESTR>(L"pelvar_title");
    DISPID id = 0;
    EXPECT_EQ(bridge.GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 3000);
    DispatchArgs call;
    for (const std::wstring& arg : args) call.Text(arg.c_str());
    UniqueVariant result;
    EXPECT_EQ(call.Invoke(&bridge, id, result.Put()), S_OK);
    const VARIANT& value = result.Get();
    return value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"<not a string>";
}

// NavigateError from frame with a status code; the cancel flag the handler left.
VARIANT_BOOL NavigateError(CFrameGame& game, IDispatch* frame, const wchar_t* address, long status)
{
    VARIANT_BOOL cancel = VARIANT_FALSE;
    DispatchArgs args;
    args.Dispatch(frame).RefText(address).RefText(L"").RefPlain(VT_I4, status).RefBool(&cancel);
    EXPECT_EQ(args.Invoke(&game.html.browser, DISPID_NAVIGATEERROR), S_OK);
    return cancel;
}

constexpr const wchar_t* kServer = L"http://127.0.0.1:18765/server?type=3";
// How long after a game server's last navigation the game view comes.
constexpr DWORD kSwitchDelayMs = 1500;
constexpr long kAnsweredUnderWine = static_cast<long>(0x800C0010);  // INET_E_CANNOT_INSTANTIATE_OBJECT

CFrameGame::DocumentTitle Document(const wchar_t* title)
{
    CFrameGame::DocumentTitle d;
    d.hasDocument = true;
    d.hasTitle = title != nullptr;
    if (title) d.title = title;
    return d;
}

}  // namespace

TEST_F(PageEvents, ClientMarkerSwitchesAtOnceThroughDocumentComplete)
{
    w.game->documentTitleSource = [] { return Document(L"Server 7"); };
    NavigateComplete(*w.game, L"http://127.0.0.1:18765/play?client=1");
    EXPECT_FALSE(w.game->gameView);
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/play?client=1");
    EXPECT_STREQ(w.game->titleText, L"Server 7");
    // What was posted is handled before any timer, the navigation's included.
    ASSERT_TRUE(PumpPosted());
    EXPECT_TRUE(w.game->gameView) << "at once, not after the navigation's delay";
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(w.Game()) && IsWindowVisible(w.Game()); }, 2000));
    const RECT shown = WindowRect(w.Game());
    // The navigation's timer fires later and only ends itself.
    ASSERT_TRUE(PumpUntilTimer(kSwitchDelayMs));
    EXPECT_FALSE(KillTimer(w.Game(), TIMER_ENTER_GAME_VIEW));
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), shown));
    EXPECT_TRUE(IsWindowVisible(w.Game()));
    MSG m;
    EXPECT_FALSE(PeekMessageW(&m, w.Game(), WM_GAME_COMMAND, WM_GAME_COMMAND, PM_NOREMOVE));
}

TEST_F(PageEvents, TypeMarkerWithoutDocumentSwitchesAfterTheLastEvent)
{
    NavigateComplete(*w.game, L"http://127.0.0.1:18765/server?type=3");
    ASSERT_TRUE(PumpUntilTimer(kSwitchDelayMs / 2));
    EXPECT_FALSE(w.game->gameView);
    // Not before the delay counted from the second event, although the first one's has passed.
    ASSERT_TRUE(PumpUntilTimer(kSwitchDelayMs - 100, [&] {
        NavigateComplete(*w.game, L"http://127.0.0.1:18765/server?type=3&frame=2");
    }));
    EXPECT_FALSE(w.game->gameView) << "the second event restarts the delay";
    ASSERT_TRUE(PumpUntil([&] { return w.game->gameView; }, 4000));
}

TEST_F(PageEvents, OtherCaseIsNoMarkerASubstringIs)
{
    for (const wchar_t* game : {L"http://s1.example/game?type=3", L"http://s1.example/play?client=1&x=2",
                                L"http://s1.example/?subtype=31", L"http://type=3.example/"})
        EXPECT_TRUE(IsGameServerAddress(game)) << game;
    for (const wchar_t* other : {L"http://s1.example/?Type=3", L"http://s1.example/?type=2&client=2"})
        EXPECT_FALSE(IsGameServerAddress(other)) << other;
    EXPECT_FALSE(IsGameServerAddress(nullptr));
    // The same through the page's events.
    NavigateComplete(*w.game, L"http://127.0.0.1:18765/server?Type=3");
    EXPECT_FALSE(KillTimer(w.Game(), TIMER_ENTER_GAME_VIEW));
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/server?Type=3");  // no document here
    NavigateComplete(*w.game, L"http://127.0.0.1:18765/server?subtype=31");
    EXPECT_TRUE(KillTimer(w.Game(), TIMER_ENTER_GAME_VIEW));
    ASSERT_TRUE(PumpPosted());
    EXPECT_FALSE(w.game->gameView);
    // A document complete with a marker but without a document changes nothing.
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/server?client=1");
    ASSERT_TRUE(PumpPosted());
    EXPECT_FALSE(w.game->gameView);
    EXPECT_STREQ(w.game->titleText, L"");
}

TEST_F(PageEvents, PageTitleCallWinsOverDocumentTitlesAndNewWindowsAreAlwaysCancelled)
{
    std::wstring docTitle = L"Start page";
    w.game->documentTitleSource = [&] { return Document(docTitle.c_str()); };
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/diy/zelk/client");
    EXPECT_STREQ(w.game->titleText, L"Start page");

    // No argument, or two: nothing changes.
    EXPECT_EQ(PageCall(*w.game, {}), L"");
    EXPECT_FALSE(w.game->titleFromPage);
    EXPECT_EQ(PageCall(*w.game, {L"a", L"b"}), L"");
    EXPECT_FALSE(w.game->titleFromPage);
    EXPECT_STREQ(w.game->titleText, L"Start page");

    EXPECT_EQ(PageCall(*w.game, {L"Realm of the Mere — S12"}), L"");
    EXPECT_TRUE(w.game->titleFromPage);
    EXPECT_STREQ(w.game->titleText, L"Realm of the Mere — S12");
    docTitle = L"Another page";
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/other");
    EXPECT_STREQ(w.game->titleText, L"Realm of the Mere — S12");

    // Long titles are cut to 259 characters, from the page and from documents alike.
    const std::wstring longTitle(300, L'x');
    PageCall(*w.game, {longTitle});
    EXPECT_EQ(std::wstring(w.game->titleText), longTitle.substr(0, 259));
    GameWindows fresh;
    ASSERT_TRUE(fresh.created);
    fresh.game->documentTitleSource = [&] { return Document(longTitle.c_str()); };
    DocumentComplete(*fresh.game, L"http://127.0.0.1:18765/long");
    EXPECT_EQ(std::wstring(fresh.game->titleText), longTitle.substr(0, 259));
    // A document without a title string leaves the title alone.
    fresh.game->documentTitleSource = [] { return Document(nullptr); };
    DocumentComplete(*fresh.game, L"http://127.0.0.1:18765/untitled");
    EXPECT_EQ(std::wstring(fresh.game->titleText), longTitle.substr(0, 259));

    // New windows go to the browser only for web addresses, and are always cancelled.
    ShellRecorder shell;
    for (const wchar_t* address : {L"https://mere.example/news?id=4", L"file:///C:/Windows/System32/calc.exe",
                                   L"C:\\Windows\\System32\\calc.exe", L"HTTP://MERE.EXAMPLE/"})
        EXPECT_EQ(NewWindow(*w.game, address), VARIANT_TRUE) << address;
    EXPECT_EQ(shell.opened,
              (std::vector<std::wstring>{L"https://mere.example/news?id=4", L"HTTP://MERE.EXAMPLE/"}));
}

TEST_F(PageEvents, GameViewNavigationsRefitThePageAndNoLongerSwitch)
{
    ASSERT_TRUE(w.EnterGameViewShown());
    HWND inPlace = w.game->html.browser.GetInPlaceWindow();
    if (!inPlace) GTEST_SKIP() << "no browser control in this prefix";
    RECT fitted = ChildRect(inPlace);
    MoveWindow(inPlace, 3, 3, 50, 50, FALSE);
    NavigateComplete(*w.game, L"http://127.0.0.1:18765/server?type=3");
    EXPECT_TRUE(SameRect(ChildRect(inPlace), fitted));
    EXPECT_FALSE(KillTimer(w.Game(), TIMER_ENTER_GAME_VIEW));

    w.game->documentTitleSource = [] { return Document(L"In game"); };
    MoveWindow(inPlace, 3, 3, 50, 50, FALSE);
    DocumentComplete(*w.game, L"http://127.0.0.1:18765/server?type=3");
    EXPECT_TRUE(SameRect(ChildRect(inPlace), fitted));
    EXPECT_STREQ(w.game->titleText, L"In game");
}

namespace {
// Game windows with an idle control, their notice and their page window. The control's start
// navigation (about:blank here) is over, so that its end cannot meet a test's events.
class OfflineNotice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(w.created);
        IWebBrowser2* browser = w.game->html.browser.webBrowser.Get();
        if (!browser || !PumpUntil([&] {
                VARIANT_BOOL busy = VARIANT_TRUE;
                return SUCCEEDED(browser->get_Busy(&busy)) && busy == VARIANT_FALSE;
            }, 10000))
            GTEST_SKIP() << "no idle browser control in this prefix";
        control = browser;
    }
    GameWindows w;
    IDispatch* control = nullptr;
    COfflineNotice& notice = w.game->offline;
    const HWND page = w.game->html.hwnd;
};
}  // namespace

TEST_F(OfflineNotice, ConnectionFailuresOfTheTopLevelShowItEverythingElseGivesThePageBack)
{
    const HWND foreground = GetForegroundWindow();
    for (unsigned long code : {0x800C0004UL, 0x800C0005UL, 0x800C0007UL, 0x800C0008UL, 0x800C000BUL}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(NavigateError(*w.game, control, kServer, static_cast<long>(code)), VARIANT_TRUE);
        EXPECT_TRUE(notice.Showing());
        EXPECT_FALSE(IsWindowVisible(page));
        EXPECT_EQ(notice.SecondsLeft(), 5);
        EXPECT_EQ(NavigateError(*w.game, control, kServer, kAnsweredUnderWine), VARIANT_FALSE);
        EXPECT_FALSE(notice.Showing());
        EXPECT_TRUE(IsWindowVisible(page));
    }
    // A frame inside the page, and pages the server answered with an error, leave the page.
    EXPECT_EQ(NavigateError(*w.game, &w.game->html.browser, kServer, static_cast<long>(0x800C0004)),
              VARIANT_FALSE);
    for (long answered : {404L, 500L, static_cast<long>(0x800C0006), static_cast<long>(0x800C000E)})
        EXPECT_EQ(NavigateError(*w.game, control, kServer, answered), VARIANT_FALSE) << answered;
    EXPECT_FALSE(notice.Showing());
    // A completed navigation gives the page back too; nothing was activated on the way.
    NavigateError(*w.game, control, kServer, static_cast<long>(0x800C0005));
    ASSERT_TRUE(notice.Showing());
    NavigateComplete(*w.game, kServer);
    EXPECT_FALSE(notice.Showing());
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(GetForegroundWindow(), foreground);
}

TEST_F(OfflineNotice, RetriesWaitLongerEachTimeAndTheButtonRetriesAtOnceInBothViews)
{
    for (int expected : {5, 15, 30, 60, 60}) {
        NavigateError(*w.game, control, kServer, static_cast<long>(0x800C0004));
        EXPECT_EQ(notice.SecondsLeft(), expected);
    }
    EXPECT_EQ(WindowText(notice.hwnd), std::wstring(COfflineNotice::kHeadline) + L"\n60 秒后自动重试");
    EXPECT_TRUE(SameRect(ChildRect(notice.hwnd), ChildRect(page)));

    // In the game view it covers the page under the title bar, drawn in the artwork's colours.
    ASSERT_TRUE(w.EnterGameViewShown());
    ASSERT_TRUE(notice.Showing());
    EXPECT_FALSE(IsWindowVisible(page));
    const RECT area = ChildRect(page);
    EXPECT_TRUE(SameRect(ChildRect(notice.hwnd), area));
    EXPECT_EQ(area.top, CFrameGame::kTitleBarHeight);
    const int width = area.right - area.left, height = area.bottom - area.top;
    // The panel in the middle of the page area, wherever the area went.
    EXPECT_EQ(notice.panel.x, (width - COfflineNotice::kPanelWidth) / 2);
    EXPECT_EQ(notice.panel.y, (height - COfflineNotice::kPanelHeight) / 2);
    Bitmap32 shot(width, height);
    CaptureWindow(notice.hwnd, shot);
    EXPECT_TRUE(ColorNear(shot.At(2, 2) & 0xFFFFFF, 0x23373C));
    const POINT retry = {notice.panel.x + 200, notice.panel.y + 197};
    EXPECT_FALSE(ColorNear(shot.At(retry.x, retry.y) & 0xFFFFFF, 0x23373C, 24))
        << "no retry button drawn";

    // "重试" navigates to the failed address at once.
    std::vector<std::wstring> navigations;
    w.game->html.browser.beforeNavigateHandler = [&](IDispatch*, const wchar_t* url, VARIANT_BOOL* cancel) {
        navigations.push_back(url ? url : L"");
        *cancel = VARIANT_TRUE;
    };
    ClickAt(notice.hwnd, retry.x, retry.y);
    ASSERT_TRUE(PumpUntil([&] { return !navigations.empty(); }, 5000));
    EXPECT_EQ(navigations.front(), kServer);
    EXPECT_EQ(notice.SecondsLeft(), 0);
    EXPECT_EQ(WindowText(notice.hwnd), std::wstring(COfflineNotice::kHeadline) + L"\n正在重新连接…");
    w.game->html.browser.beforeNavigateHandler = nullptr;
}
