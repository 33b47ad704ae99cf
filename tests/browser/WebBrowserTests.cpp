// The container against the real WebBrowser control: creation, in-place activation, the calls
// the control makes into the site, navigation to a local server, and the release at the end.
#include "LocalHttpServer.h"  // first: Winsock before windows.h
#include "CWebBrowser.h"
#include "DispatchArgs.h"
#include "FakeActiveObject.h"
#include "SiteSpy.h"
#include "TestSupport.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using testing_support::ListDirectory;
using testing_support::PumpPosted;
using testing_support::PumpUntil;

namespace {

// True when every call of expected appears in calls, in this order (others may come between).
bool InOrder(const std::vector<std::string>& calls, const std::vector<std::string>& expected)
{
    size_t next = 0;
    for (const auto& call : calls)
        if (next < expected.size() && call == expected[next]) ++next;
    return next == expected.size();
}

long Count(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<long>(std::count(calls.begin(), calls.end(), call));
}

HRESULT Ask(IUnknown* site, REFIID riid)
{
    void* object = nullptr;
    HRESULT hr = site->QueryInterface(riid, &object);
    if (object) static_cast<IUnknown*>(object)->Release();
    return hr;
}

}  // namespace

TEST(WebBrowserControl, CreationActivatesInPlaceAdvisesAndReleasesEverything)
{
    HostWindows windows;
    ASSERT_TRUE(IsWindow(windows.host));
    const std::wstring temp = testing_support::TempDirectory();
    const auto tempBefore = ListDirectory(temp);
    SiteLog log;
    HWND embedding = nullptr;
    {
        SiteSpy site(log);
        // Before activation the in-place faces are handed out.
        EXPECT_EQ(S_OK, Ask(static_cast<IDispatch*>(&site), IID_IOleInPlaceSite));
        EXPECT_EQ(S_OK, Ask(static_cast<IDispatch*>(&site), IID_IOleInPlaceFrame));
        EXPECT_FALSE(site.Navigate(L"http://127.0.0.1/", 2)) << "no control yet";
        log.calls.clear();

        ASSERT_TRUE(site.CreateControl(windows.host));
        std::printf("site calls during CreateControl: %s\n", SiteSpy::Join(log.calls).c_str());
        ASSERT_TRUE(site.oleObject);
        ASSERT_TRUE(site.webBrowser);
        ASSERT_TRUE(site.inPlaceObject);
        ASSERT_TRUE(site.activeObject);
        EXPECT_EQ(1, site.inPlaceActive);
        EXPECT_EQ(windows.host, site.hostWindow);

        if (testing_support::UnderWine()) {
            // Exactly what Wine's control does, in the manner of its own tests.
            const std::vector<std::string> expected = {
                "QueryInterface(IDispatch)", "QueryInterface(IDocHostUIHandler)", "GetContainer",
                "QueryInterface(IOleCommandTarget) refused", "QueryInterface(IOleInPlaceSite)", "GetWindow",
                "QueryInterface(IDispatch)", "Invoke(-5501)", "QueryInterface(IDispatch)", "Invoke(-5502)",
                "QueryInterface(IOleInPlaceSite)", "CanInPlaceActivate", "GetWindow", "OnInPlaceActivate",
                "GetWindowContext", "ShowObject", "GetContainer", "GetWindow",
                "QueryInterface(DWebBrowserEvents2)"};
            EXPECT_EQ(SiteSpy::Join(expected), SiteSpy::Join(log.calls));
        }
        // The control asked for the in-place site before CanInPlaceActivate set the flag, then
        // went through the activation steps in order, and finally was advised (it asks the sink
        // for the events interface and reads ambient properties through Invoke).
        EXPECT_TRUE(InOrder(log.calls, {"QueryInterface(IOleInPlaceSite)", "CanInPlaceActivate",
                                        "GetWindow", "OnInPlaceActivate", "GetWindowContext",
                                        "ShowObject"}))
            << SiteSpy::Join(log.calls);
        EXPECT_EQ(1, Count(log.calls, "CanInPlaceActivate"));
        EXPECT_EQ(S_OK, log.contextResult);
        EXPECT_EQ(32u, log.frameInfo.cb);
        EXPECT_EQ(windows.frame, log.frameInfo.hwndFrame);
        EXPECT_FALSE(log.frameInfo.fMDIApp);
        EXPECT_EQ(nullptr, log.frameInfo.haccel);
        EXPECT_EQ(0u, log.frameInfo.cAccelEntries);
        EXPECT_TRUE(InOrder(log.calls, {"ShowObject", "QueryInterface(DWebBrowserEvents2)"}))
            << SiteSpy::Join(log.calls);
        EXPECT_GT(site.refCount, 0) << "the control holds the site";

        // The control's window lives in the host and covers its client area.
        embedding = site.GetInPlaceWindow();
        ASSERT_TRUE(IsWindow(embedding));
        EXPECT_EQ(windows.host, GetParent(embedding));
        EXPECT_EQ(L"Shell Embedding", ClassOf(embedding));
        RECT r;
        GetClientRect(embedding, &r);
        EXPECT_EQ(500, r.right - r.left);
        EXPECT_EQ(300, r.bottom - r.top);

        // A second creation is refused and asks the control nothing.
        IOleObject* first = site.oleObject.Get();
        const size_t callsBefore = log.calls.size();
        EXPECT_FALSE(site.CreateControl(windows.host));
        EXPECT_EQ(first, site.oleObject.Get());
        EXPECT_EQ(callsBefore, log.calls.size());

        // Once active, the in-place faces are refused; the UI handler is always there.
        const std::pair<const IID*, HRESULT> answers[] = {
            {&IID_IOleInPlaceSite, E_NOINTERFACE}, {&IID_IOleInPlaceFrame, E_NOINTERFACE},
            {&IID_IOleInPlaceUIWindow, E_NOINTERFACE}, {&IID_IOleCommandTarget, E_NOINTERFACE},
            {&IID_IDocHostUIHandler, S_OK}, {&IID_IOleClientSite, S_OK}, {&DIID_DWebBrowserEvents2, S_OK}};
        for (const auto& [iid, hr] : answers)
            EXPECT_EQ(hr, Ask(static_cast<IDispatch*>(&site), *iid)) << InterfaceName(*iid);

        // Everything bound, as the game window binds it, when the object goes.
        site.SetNavigateCompleteHandler([](const wchar_t*) {});
        site.SetDocumentCompleteHandler([](IDispatch*, const wchar_t*) {});
        site.SetNewWindowHandler([](IDispatch**, short*&, unsigned long, wchar_t*, wchar_t*) {});
        site.titleChangeHandler = [](const wchar_t*) {};
        site.beforeNavigateHandler = [](IDispatch*, const wchar_t*, VARIANT_BOOL*) {};
        site.quitHandler = [] {};
        site.browserWindowHandler = [](HWND) {};
        site.AddExternalName(L"pelvar_title");
        site.SetExternalHandler([](unsigned, const std::vector<std::wstring>&) { return std::wstring(); });
        log.calls.clear();
        // Destruction (in the spy: the same release the destructor runs) follows.
    }
    std::printf("site calls while the control was released: %s\n", SiteSpy::Join(log.calls).c_str());
    std::printf("site AddRef %ld, Release %ld\n", log.addRefs, log.releases);
    EXPECT_EQ(0, log.refCountAfterRelease) << "the control kept references to the site";
    EXPECT_EQ(log.addRefs, log.releases);
    EXPECT_GT(log.releasesDuringTeardown, 0) << "the control gave its site references back";
    EXPECT_FALSE(log.boundWhileControlReleased) << "callbacks must be empty before the control goes";
    EXPECT_FALSE(IsWindow(embedding)) << "the control's window outlived the control";
    for (const auto& f : ListDirectory(temp))
        if (std::find(tempBefore.begin(), tempBefore.end(), f) == tempBefore.end())
            ADD_FAILURE() << "left behind in the temporary directory: " << std::string(f.begin(), f.end());
}

namespace {

// A spied site whose control lives in host windows, and a local server to navigate to.
class WebBrowserNavigation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listening());
        ASSERT_TRUE(site->CreateControl(windows.host));
    }
    LocalHttpServer server;
    HostWindows windows;
    SiteLog log;
    std::unique_ptr<SiteSpy> site = std::make_unique<SiteSpy>(log);
};

}  // namespace

TEST_F(WebBrowserNavigation, ReachesLocalServerAndCancelStopsIt)
{
    const std::wstring first = server.Url("/start?type=1");
    EXPECT_FALSE(site->Navigate(nullptr, 2));

    std::vector<std::wstring> urls;
    int nonNullFrames = 0;
    std::vector<std::wstring> cancelList;
    site->beforeNavigateHandler = [&](IDispatch* frame, const wchar_t* url, VARIANT_BOOL* cancel) {
        urls.push_back(url ? url : L"(null)");
        if (frame) ++nonNullFrames;
        ASSERT_NE(nullptr, cancel);
        EXPECT_EQ(VARIANT_FALSE, *cancel);
        if (std::find(cancelList.begin(), cancelList.end(), urls.back()) != cancelList.end())
            *cancel = VARIANT_TRUE;
    };
    log.calls.clear();
    ASSERT_TRUE(site->Navigate(first.c_str(), 2));
    auto requested = [&](const std::string& line) {
        auto seen = server.Requests();
        return std::find(seen.begin(), seen.end(), line) != seen.end();
    };
    EXPECT_TRUE(PumpUntil([&] { return requested("GET /start?type=1 HTTP/1.1"); }, 15000));
    ASSERT_TRUE(PumpUntil([&] { return !urls.empty(); }, 5000));
    EXPECT_EQ(first, urls.front());
    EXPECT_EQ(1, nonNullFrames);
    PumpUntil([&] { return Count(log.calls, "Invoke(271)") > 0; }, 5000);
    std::printf("site calls during Navigate: %s\n", SiteSpy::Join(log.calls).c_str());
    EXPECT_TRUE(InOrder(log.calls, {"Invoke(250)", "Invoke(271)"})) << SiteSpy::Join(log.calls);

    // A navigation cancelled in BeforeNavigate2 never reaches the server; the next one does.
    const std::wstring cancelled = server.Url("/cancelled");
    const std::wstring after = server.Url("/after");
    cancelList.push_back(cancelled);
    ASSERT_TRUE(site->Navigate(cancelled.c_str(), 2));
    ASSERT_TRUE(PumpUntil([&] { return urls.back() == cancelled; }, 5000));
    ASSERT_TRUE(site->Navigate(after.c_str(), 2));
    EXPECT_TRUE(PumpUntil([&] { return requested("GET /after HTTP/1.1"); }, 15000));
    EXPECT_FALSE(requested("GET /cancelled HTTP/1.1"));
}

TEST_F(WebBrowserNavigation, ErrorComesFromTheTopLevelWithTheStatusOfTheFailure)
{
    LocalHttpServer held(30000, 0, false);  // holds a port without serving: connections are refused
    ASSERT_TRUE(held.Bound());
    const std::wstring refused = held.Url("/start");
    const std::wstring answered = server.Url("/start");
    struct Failure {
        bool topLevel;
        std::wstring url;
        long status;
    };
    std::vector<Failure> failures;
    site->SetNavigateErrorHandler([&](IDispatch* frame, const wchar_t* url, long status,
                                     VARIANT_BOOL* cancel) {
        ASSERT_NE(nullptr, cancel);
        failures.push_back({site->IsTopLevel(frame), url ? url : L"", status});
    });
    std::vector<long> statuses;
    for (const std::wstring& url : {refused, answered}) {
        failures.clear();
        ASSERT_TRUE(site->Navigate(url.c_str(), 2));
        ASSERT_TRUE(PumpUntil([&] { return !failures.empty(); }, 20000)) << "no end for a navigation";
        std::printf("NavigateError for %ls: top level %d, status 0x%08lX\n", url.c_str(),
                    failures[0].topLevel, static_cast<unsigned long>(failures[0].status));
        EXPECT_TRUE(failures[0].topLevel);
        EXPECT_EQ(url, failures[0].url);
        statuses.push_back(failures[0].status);
    }
    // Wine ends the refused one in 0x800C0008 and the answered one in 0x800C0010.
    EXPECT_NE(statuses[0], statuses[1]) << "a refused connection reads like an answered page";
}

TEST_F(WebBrowserNavigation, ControlDestroyedDuringItKeepsNoSiteReference)
{
    bool started = false;
    site->beforeNavigateHandler = [&](IDispatch*, const wchar_t*, VARIANT_BOOL*) { started = true; };
    const std::wstring slow = server.Url("/slow");
    ASSERT_TRUE(site->Navigate(slow.c_str(), 2));
    ASSERT_TRUE(PumpUntil([&] { return started; }, 5000));
    HWND embedding = site->GetInPlaceWindow();
    log.calls.clear();
    site.reset();  // while the page is still being fetched
    std::printf("site calls while released during a navigation: %s\n", SiteSpy::Join(log.calls).c_str());
    EXPECT_EQ(0, log.refCountAfterRelease) << "the control would call into a destroyed site";
    EXPECT_FALSE(IsWindow(embedding));
    // Whatever the fetch still delivers must not reach the site any more: the fetch ends (the
    // client is done with the connection) and what it posted to this thread is handled.
    EXPECT_TRUE(PumpUntil([&] { return server.Ended() > 0; }, 10000));
    EXPECT_TRUE(PumpPosted());
}

TEST(WebBrowserSite, AnswersOfTheSiteInterfaces)
{
    HostWindows windows(320, 200);
    CWebBrowser site;
    site.hostWindow = windows.host;

    DOCHOSTUIINFO info = {};
    info.dwFlags = 0x100;  // flags already set by the control stay set
    info.dwDoubleClick = 7;
    EXPECT_EQ(S_OK, site.GetHostInfo(&info));
    EXPECT_EQ(32u, info.cbSize);
    EXPECT_EQ(0x10Cu, info.dwFlags);
    EXPECT_EQ(0u, info.dwDoubleClick);
    EXPECT_EQ(nullptr, info.pchHostCss);
    EXPECT_EQ(nullptr, info.pchHostNS);

    IOleContainer* container = reinterpret_cast<IOleContainer*>(1);
    EXPECT_EQ(E_FAIL, site.GetContainer(&container));
    EXPECT_EQ(nullptr, container);
    IMoniker* moniker = reinterpret_cast<IMoniker*>(1);
    EXPECT_EQ(E_NOTIMPL, site.GetMoniker(0, 0, &moniker));
    EXPECT_EQ(nullptr, moniker);
    EXPECT_EQ(S_FALSE, site.ShowContextMenu(0, nullptr, nullptr, nullptr));
    MSG msg = {};
    EXPECT_EQ(S_FALSE, site.TranslateAccelerator(&msg, nullptr, 0));
    EXPECT_EQ(E_NOTIMPL, site.TranslateAccelerator(&msg, WORD(0)));
    EXPECT_EQ(E_NOTIMPL, site.EnableModeless(TRUE));
    EXPECT_EQ(E_NOTIMPL, site.SetStatusText(L"x"));
    LPWSTR translated = reinterpret_cast<LPWSTR>(3);
    EXPECT_EQ(S_OK, site.TranslateUrl(0, const_cast<LPWSTR>(L"http://x/"), &translated));
    EXPECT_EQ(reinterpret_cast<LPWSTR>(3), translated);

    HWND window = nullptr;
    EXPECT_EQ(S_OK, site.GetWindow(&window));
    EXPECT_EQ(windows.host, window);
    RECT border = {};
    EXPECT_EQ(S_OK, site.GetBorder(&border));
    EXPECT_EQ(320, border.right);
    EXPECT_EQ(200, border.bottom);

    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO frameInfo = {};
    EXPECT_EQ(S_OK, site.GetWindowContext(&frame, &doc, &pos, &clip, &frameInfo));
    EXPECT_EQ(static_cast<IOleInPlaceFrame*>(&site), frame);
    EXPECT_EQ(nullptr, doc);
    EXPECT_EQ(320, pos.right);
    EXPECT_EQ(200, clip.bottom);
    EXPECT_EQ(windows.frame, frameInfo.hwndFrame);
    EXPECT_EQ(1, site.refCount) << "the frame handed out was counted";
    EXPECT_EQ(0u, frame->Release()) << "Release always answers 0";
    EXPECT_EQ(0, site.refCount);

    EXPECT_EQ(S_OK, site.CanInPlaceActivate());
    EXPECT_EQ(1, site.inPlaceActive);
    EXPECT_EQ(S_FALSE, site.CanInPlaceActivate());

    IDispatch* external = nullptr;
    EXPECT_EQ(S_OK, site.GetExternal(&external));
    EXPECT_EQ(static_cast<IDispatch*>(&site.bridge), external);
    EXPECT_EQ(1, site.bridge.refCount);
    EXPECT_EQ(0, site.refCount) << "the bridge counts for itself";

    UINT count = 5;
    EXPECT_EQ(E_NOTIMPL, site.GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
}

TEST(WebBrowserSite, TranslateKeyOffersOnlyKeysForTheDocumentWindowAndDocumentHelpersRefuseWithoutADocument)
{
    // What a site answers for a message to target ('A' with the key messages).
    auto translate = [](CWebBrowser& site, HWND target, UINT message) {
        MSG msg = testing_support::KeyMessage(target, message, 'A');
        return site.TranslateKey(&msg);
    };
    {
        CWebBrowser noControl;
        EXPECT_EQ(E_NOTIMPL, translate(noControl, nullptr, WM_KEYDOWN));
        EXPECT_EQ(S_FALSE, translate(noControl, nullptr, WM_MOUSEMOVE));
    }
    HostWindows windows;
    FakeActiveObject fake;
    CWebBrowser site;
    ASSERT_TRUE(site.CreateControl(windows.host));
    fake.ActFor(site);
    HWND document = ChildWindow(L"Internet Explorer_Server", windows.host);
    HWND lookalike = ChildWindow(L"Internet Explorer_Serverx", windows.host);

    EXPECT_EQ(S_OK, translate(site, document, WM_KEYDOWN));
    EXPECT_EQ(S_OK, translate(site, document, WM_KEYUP));
    EXPECT_EQ(S_OK, translate(site, document, 0x0109));
    EXPECT_EQ(S_FALSE, translate(site, document, 0x010A));
    EXPECT_EQ(S_FALSE, translate(site, document, WM_MOUSEMOVE));
    EXPECT_EQ(S_FALSE, translate(site, lookalike, WM_KEYDOWN));
    EXPECT_EQ(S_FALSE, translate(site, windows.host, WM_KEYDOWN));
    EXPECT_EQ((std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, 0x0109}), fake.messages);
    site.activeObject.Reset();
    EXPECT_EQ(0u, fake.refs);

    // The document helpers refuse, and write nothing, without a document.
    const UniqueBstr held(SysAllocString(L"field"));
    const BSTR id = held.Get();
    wchar_t buffer[8];
    wmemcpy(buffer, L"keep me", 8);
    int capacity = 8;
    // Without a control, and with one that has no document to offer here: every helper answers
    // false and writes nothing.
    auto refuseAndWriteNothing = [&](CWebBrowser& browser) {
        EXPECT_FALSE(browser.GetDocument());
        EXPECT_FALSE(browser.GetDocument3());
        EXPECT_FALSE(browser.LoadHtml(L"<p id='field'>x</p>"));
        EXPECT_FALSE(browser.GetBodyHtml(buffer, &capacity));
        EXPECT_FALSE(browser.ClickElement(id));
        EXPECT_FALSE(browser.SetElementValue(id, L"v"));
        EXPECT_FALSE(browser.GetElementValue(id, buffer, &capacity));
        EXPECT_TRUE(wcscmp(buffer, L"keep me") == 0 && capacity == 8);
    };
    CWebBrowser noControl;
    refuseAndWriteNothing(noControl);
    // Null arguments are refused before the control is asked anything.
    EXPECT_FALSE(site.LoadHtml(nullptr));
    EXPECT_FALSE(site.GetBodyHtml(nullptr, &capacity));
    EXPECT_FALSE(site.GetBodyHtml(buffer, nullptr));
    EXPECT_FALSE(site.ClickElement(nullptr));
    EXPECT_FALSE(site.SetElementValue(nullptr, L"v"));
    EXPECT_FALSE(site.SetElementValue(id, nullptr));
    EXPECT_FALSE(site.GetElementValue(id, buffer, nullptr));
    EXPECT_FALSE(site.GetElementValue(nullptr, buffer, &capacity));
    refuseAndWriteNothing(site);
}

TEST(WebBrowserSite, ElementValueAndBodyTextCopying)
{
    UniqueVariant held(TypedVariant(VT_BSTR));
    VARIANT& value = held.Get();
    value.bstrVal = SysAllocString(L"secret");
    wchar_t buffer[16];
    wmemset(buffer, L'#', 16);

    // One character too small: refused, the size needed is reported, the buffer is untouched.
    int capacity = 6;
    EXPECT_FALSE(CWebBrowser::CopyValueText(value, buffer, &capacity));
    EXPECT_EQ(7, capacity);
    EXPECT_EQ(L'#', buffer[0]);
    // Asking for the size with no buffer.
    capacity = 100;
    EXPECT_FALSE(CWebBrowser::CopyValueText(value, nullptr, &capacity));
    EXPECT_EQ(7, capacity);
    // Enough room: copied with its terminator, the rest of the buffer zeroed.
    capacity = 16;
    EXPECT_TRUE(CWebBrowser::CopyValueText(value, buffer, &capacity));
    EXPECT_STREQ(L"secret", buffer);
    EXPECT_EQ(L'\0', buffer[15]);
    EXPECT_EQ(16, capacity);

    // A value that is not a string (no attribute, a number): false, nothing written anywhere.
    wmemset(buffer, L'#', 16);
    for (VARTYPE type : {VT_NULL, VT_EMPTY, VT_I4, VT_DISPATCH}) {
        VARIANT other = TypedVariant(type);
        other.lVal = 0;
        capacity = 2;
        EXPECT_FALSE(CWebBrowser::CopyValueText(other, buffer, &capacity)) << type;
        EXPECT_EQ(2, capacity) << type;
        EXPECT_EQ(L'#', buffer[0]) << type;
    }
    // A null string is the empty value.
    const VARIANT nullString = TypedVariant(VT_BSTR);
    capacity = 4;
    EXPECT_TRUE(CWebBrowser::CopyValueText(nullString, buffer, &capacity));
    EXPECT_STREQ(L"", buffer);

    // Body text: copied only when it fits, never cut.
    wmemset(buffer, L'#', 16);
    CWebBrowser::CopyWhenFits(value.bstrVal, buffer, 6);
    EXPECT_EQ(L'#', buffer[0]);
    CWebBrowser::CopyWhenFits(value.bstrVal, buffer, 7);
    EXPECT_STREQ(L"secret", buffer);
    EXPECT_EQ(L'#', buffer[7]) << "only capacity characters are zeroed";
}

namespace {

// An event object that answers the script-error properties and records how it was read.
class FakeErrorEvent : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        EXPECT_EQ(1u, count);
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), lcid);
        asked.push_back(names[0]);
        ids[0] = static_cast<DISPID>(asked.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override
    {
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), lcid);
        EXPECT_EQ(DISPATCH_PROPERTYGET, flags);
        EXPECT_EQ(0u, params->cArgs);
        read.push_back(id);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(L"value");  // freed by the reader
        return id == 5 ? lastAnswer : S_OK;
    }
    std::vector<std::wstring> asked;
    std::vector<DISPID> read;
    HRESULT lastAnswer = S_OK;
};

}  // namespace

TEST(WebBrowserSite, ScriptErrorPropertiesAreReadInOrderAndTheCommandTargetAnswers)
{
    FakeErrorEvent event;
    event.lastAnswer = DISP_E_EXCEPTION;
    EXPECT_EQ(DISP_E_EXCEPTION, CWebBrowser::ReadScriptError(&event)) << "the last read decides";
    EXPECT_EQ((std::vector<std::wstring>{L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage",
                                         L"errorUrl"}),
              event.asked);
    EXPECT_EQ((std::vector<DISPID>{1, 2, 3, 4, 5}), event.read);
    EXPECT_EQ(E_FAIL, CWebBrowser::ReadScriptError(nullptr));

    // The command target: only the script error of the document host's group is handled.
    CWebBrowser site;
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, site.QueryStatus(&kDocHostCommandGroup, 0, nullptr, nullptr));
    VARIANT out = TypedVariant(VT_EMPTY);
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, site.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, site.Exec(&IID_IUnknown, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, site.Exec(&kDocHostCommandGroup, 41, 0, nullptr, &out));
    EXPECT_EQ(VT_EMPTY, out.vt);
    // A script error without a document to read it from still keeps the scripts running.
    VARIANT in = TypedVariant(VT_EMPTY);
    site.Exec(&kDocHostCommandGroup, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out);
    EXPECT_EQ(VT_BOOL, out.vt);
    EXPECT_EQ(VARIANT_TRUE, out.boolVal);
    site.Exec(&kDocHostCommandGroup, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr);
}
