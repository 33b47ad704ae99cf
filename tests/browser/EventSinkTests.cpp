// The event sink called as the control calls it: DISPPARAMS last-first, URLs inside
// by-reference VARIANTs, cancel flags written through.
#include "CWebBrowser.h"
#include "DispatchArgs.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <exdispid.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace {

HRESULT Fire(CWebBrowser& site, DISPID dispid, DISPPARAMS* params, REFIID riid = IID_NULL)
{
    return site.Invoke(dispid, riid, 0, DISPATCH_METHOD, params, nullptr, nullptr, nullptr);
}

constexpr const wchar_t* kUrl = L"http://game.example/play?client=1";
constexpr const wchar_t* kContext = L"http://game.example/";

// Stands in for the control in the browser-window re-fetch, which asks it only for its
// IServiceProvider (an IUnknown method) and the shell browser's window. Nothing else may be
// called on it.
class FakeShellServices : public IServiceProvider, public IOleWindow {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (IsEqualIID(riid, IID_IServiceProvider) && provide) *object = static_cast<IServiceProvider*>(this);
        if (!*object) return E_NOINTERFACE;
        ++refs;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** object) override
    {
        *object = nullptr;
        if (!IsEqualGUID(service, SID_SShellBrowser) || !IsEqualIID(riid, IID_IOleWindow)) return E_NOINTERFACE;
        ++refs;
        *object = static_cast<IOleWindow*>(this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override
    {
        *window = windowToGive;
        return windowToGive ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    bool provide = true;
    HWND windowToGive = nullptr;
    long refs = 0;
};

}  // namespace

TEST(BrowserEvents, NavigateDocumentCompleteAndNewWindowReachTheirCallbacks)
{
    CWebBrowser site;
    std::vector<std::wstring> navigated, completed;
    std::vector<IDispatch*> frames;
    site.SetNavigateCompleteHandler([&](const wchar_t* url) { navigated.push_back(url); });
    site.SetDocumentCompleteHandler([&](IDispatch* frame, const wchar_t* url) {
        frames.push_back(frame);
        completed.push_back(url);
    });
    IDispatch* frame = &site.bridge;  // any dispatch will do as the frame

    DispatchArgs complete;
    complete.Dispatch(frame).RefText(kUrl);
    EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2, complete.Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_DOCUMENTCOMPLETE, complete.Params()));
    EXPECT_EQ(std::vector<std::wstring>{kUrl}, navigated);
    EXPECT_EQ(std::vector<std::wstring>{kUrl}, completed);
    EXPECT_EQ(std::vector<IDispatch*>{frame}, frames);

    // Too few arguments, a non-null riid, or arguments of other types: nothing is called.
    DispatchArgs shortList;
    shortList.RefText(kUrl);
    EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2, shortList.Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_DOCUMENTCOMPLETE, shortList.Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_DOCUMENTCOMPLETE, nullptr));
    EXPECT_EQ(E_INVALIDARG, Fire(site, DISPID_NAVIGATECOMPLETE2, complete.Params(), IID_IDispatch));
    EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2,
              DispatchArgs().Dispatch(frame).RefPlain(VT_I4, 12345).Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_DOCUMENTCOMPLETE, DispatchArgs().Dispatch(frame).Text(kUrl).Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_DOCUMENTCOMPLETE, DispatchArgs().Plain(VT_I4, 1).RefText(kUrl).Params()));
    EXPECT_EQ(1u, navigated.size());
    EXPECT_EQ(1u, completed.size());

    // Extra leading arguments do not shift the ones read (they are counted from the end).
    EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2,
              DispatchArgs().Plain(VT_I4, 9).Dispatch(frame).RefText(kUrl).Params()));
    EXPECT_EQ(2u, navigated.size());

    // A new window's cancel flag is written through.
    IDispatch* slot = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch** seenSlot = nullptr;
    unsigned long seenFlags = 0;
    std::wstring seenContext, seenUrl;
    site.SetNewWindowHandler([&](IDispatch** ppDisp, short*& cancelFlag, unsigned long flags,
                                 wchar_t* context, wchar_t* url) {
        seenSlot = ppDisp;
        seenFlags = flags;
        seenContext = context;
        seenUrl = url;
        *cancelFlag = VARIANT_TRUE;
    });
    EXPECT_EQ(S_OK, Fire(site, DISPID_NEWWINDOW3,
              DispatchArgs().RefDispatch(&slot).RefBool(&cancel).Plain(VT_I4, 0x10006).Text(kContext)
                  .Text(kUrl).Params()));
    EXPECT_EQ(VARIANT_TRUE, cancel);
    EXPECT_EQ(&slot, seenSlot);
    EXPECT_EQ(0x10006u, seenFlags);
    EXPECT_EQ(std::wstring(kContext), seenContext);
    EXPECT_EQ(std::wstring(kUrl), seenUrl);

    // Four arguments, or a URL that is not a string: ignored.
    cancel = VARIANT_FALSE;
    EXPECT_EQ(S_OK, Fire(site, DISPID_NEWWINDOW3,
              DispatchArgs().RefBool(&cancel).Plain(VT_I4, 0).Text(kContext).Text(kUrl).Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_NEWWINDOW3,
              DispatchArgs().RefDispatch(&slot).RefBool(&cancel).Plain(VT_I4, 0).Text(kContext)
                  .Plain(VT_I4, 77).Params()));
    EXPECT_EQ(VARIANT_FALSE, cancel);
}

TEST(BrowserEvents, BeforeNavigateTitleQuitAndOtherDispids)
{
    CWebBrowser site;
    std::vector<std::wstring> titles;
    int quits = 0;
    std::wstring before;
    site.titleChangeHandler = [&](const wchar_t* t) { titles.push_back(t); };
    site.quitHandler = [&] { ++quits; };
    site.beforeNavigateHandler = [&](IDispatch*, const wchar_t* url, VARIANT_BOOL* cancel) {
        before = url;
        *cancel = VARIANT_TRUE;
    };

    DispatchArgs title;
    title.Text(L"Title");
    EXPECT_EQ(S_OK, Fire(site, DISPID_TITLECHANGE, title.Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_TITLECHANGE, DispatchArgs().Plain(VT_I4, 5).Params()));
    EXPECT_EQ(S_OK, Fire(site, DISPID_TITLECHANGE, DispatchArgs().Params()));
    EXPECT_EQ(std::vector<std::wstring>{L"Title"}, titles);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    DispatchArgs seven, six;
    seven.Dispatch(&site.bridge);
    for (DispatchArgs* args : {&seven, &six})
        args->RefText(kUrl).RefPlain(VT_EMPTY).RefPlain(VT_EMPTY).RefPlain(VT_EMPTY).RefPlain(VT_EMPTY)
            .RefBool(&cancel);
    EXPECT_EQ(S_OK, Fire(site, DISPID_BEFORENAVIGATE2, six.Params()));
    EXPECT_EQ(VARIANT_FALSE, cancel);
    EXPECT_EQ(S_OK, Fire(site, DISPID_BEFORENAVIGATE2, seven.Params()));
    EXPECT_EQ(std::wstring(kUrl), before);
    EXPECT_EQ(VARIANT_TRUE, cancel);

    EXPECT_EQ(S_OK, Fire(site, DISPID_QUIT, nullptr));
    EXPECT_EQ(1, quits);
    EXPECT_EQ(S_OK, Fire(site, DISPID_COMMANDSTATECHANGE, nullptr));
    EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATEERROR, nullptr));
    for (DISPID other : {DISPID_NEWWINDOW2, DISPID_STATUSTEXTCHANGE, -5501,
                         -5502, 0, 9999})
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Fire(site, other, title.Params())) << other;
    EXPECT_EQ(E_INVALIDARG, Fire(site, DISPID_QUIT, nullptr, IID_IUnknown));
    EXPECT_EQ(1, quits);

    // Nothing bound: every listed event is still answered S_OK.
    CWebBrowser bare;
    for (DISPID listed : {DISPID_QUIT, DISPID_TITLECHANGE, DISPID_BEFORENAVIGATE2, DISPID_NAVIGATECOMPLETE2,
                          DISPID_DOCUMENTCOMPLETE, DISPID_NEWWINDOW3})
        EXPECT_EQ(S_OK, Fire(bare, listed, seven.Params())) << listed;
}

TEST(BrowserEvents, NavigateCompleteRefetchesTheBrowserWindow)
{
    HostWindows windows;
    HWND shell = ChildWindow(L"BrowserTestShell", windows.host);
    FakeShellServices services;
    std::vector<HWND> announced;
    {
        CWebBrowser site;
        site.browserWindowHandler = [&](HWND w) { announced.push_back(w); };
        // The fetch only ever calls IUnknown methods on the control's pointer.
        services.AddRef();
        site.webBrowser = ComPtr<IWebBrowser2>::Attach(reinterpret_cast<IWebBrowser2*>(
            static_cast<IUnknown*>(static_cast<IServiceProvider*>(&services))));
        DispatchArgs complete;
        complete.Dispatch(&site.bridge).RefText(kUrl);

        services.windowToGive = shell;
        EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2, complete.Params()));
        EXPECT_EQ(shell, site.browserWindow) << "fetched with no navigate callback bound";
        EXPECT_EQ(std::vector<HWND>{shell}, announced);
        EXPECT_EQ(shell, site.GetBrowserWindow()) << "a live cached window is not fetched again";
        EXPECT_EQ(1u, announced.size());

        // GetWindow failing clears the cache; the service being missing leaves it.
        services.windowToGive = nullptr;
        EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2, complete.Params()));
        EXPECT_EQ(nullptr, site.browserWindow);
        site.browserWindow = shell;
        services.provide = false;
        EXPECT_EQ(S_OK, Fire(site, DISPID_NAVIGATECOMPLETE2, complete.Params()));
        EXPECT_EQ(shell, site.browserWindow);
        EXPECT_EQ(1u, announced.size());

        // A cached window that is gone is fetched again by GetBrowserWindow.
        services.provide = true;
        services.windowToGive = windows.host;
        DestroyWindow(shell);
        EXPECT_EQ(windows.host, site.GetBrowserWindow());
        EXPECT_EQ(2u, announced.size());
        // Only IUnknown may be called on the stand-in: it goes before the site's teardown,
        // which would stop and close a real control.
        site.webBrowser.Reset();
    }
    EXPECT_EQ(0, services.refs) << "every interface taken during the fetch was released";
}
