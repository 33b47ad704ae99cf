#pragma once
// A container site that records every call the control makes into it, in order, and then
// answers as the real site does. The log lives outside the spy so that what happens while the
// control is released (at destruction) can be read afterwards.
#include "CWebBrowser.h"

#include <exdispid.h>
#include <string>
#include <vector>

struct SiteLog {
    std::vector<std::string> calls;
    long addRefs = 0;
    long releases = 0;
    long refCountAfterRelease = -1;
    OLEINPLACEFRAMEINFO frameInfo = {};
    HRESULT contextResult = E_FAIL;
    // A callback or the page-script handler was still bound when the control released the site.
    bool boundWhileControlReleased = false;
    long releasesDuringTeardown = 0;
};

inline std::string InterfaceName(REFIID riid)
{
    static const std::pair<const IID*, const char*> known[] = {
        {&IID_IUnknown, "IUnknown"},
        {&IID_IDispatch, "IDispatch"},
        {&IID_IOleClientSite, "IOleClientSite"},
        {&IID_IOleInPlaceSite, "IOleInPlaceSite"},
        {&IID_IOleInPlaceFrame, "IOleInPlaceFrame"},
        {&IID_IOleInPlaceUIWindow, "IOleInPlaceUIWindow"},
        {&IID_IDocHostUIHandler, "IDocHostUIHandler"},
        {&IID_IOleCommandTarget, "IOleCommandTarget"},
        {&DIID_DWebBrowserEvents2, "DWebBrowserEvents2"},
        {&IID_IServiceProvider, "IServiceProvider"},
        {&IID_IOleControlSite, "IOleControlSite"},
        {&IID_IOleInPlaceSiteEx, "IOleInPlaceSiteEx"},
        {&IID_IOleInPlaceSiteWindowless, "IOleInPlaceSiteWindowless"},
    };
    for (const auto& k : known)
        if (IsEqualIID(riid, *k.first)) return k.second;
    wchar_t text[64] = {};
    StringFromGUID2(riid, text, 64);
    std::string s;
    for (const wchar_t* p = text; *p; ++p) s += static_cast<char>(*p);
    return s;
}

// An override of the site that notes its call and answers as the real site does.
#define SITE_SPY_NOTED_CALL(name, note, params, args)                                          \
    HRESULT STDMETHODCALLTYPE name params override { return Note(note), CWebBrowser::name args; }
#define SITE_SPY_CALL(name, params, args) SITE_SPY_NOTED_CALL(name, #name, params, args)

class SiteSpy : public CWebBrowser {
public:
    explicit SiteSpy(SiteLog& log) : log(log) {}
    ~SiteSpy() override
    {
        // Release the control while this object's overrides still answer, so the calls made
        // during the release are recorded too.
        tearingDown = true;
        ReleaseControl();
        log.refCountAfterRelease = refCount;
    }
    using CWebBrowser::ReleaseControl;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        HRESULT hr = CWebBrowser::QueryInterface(riid, object);
        Note("QueryInterface(" + InterfaceName(riid) + (hr == S_OK ? ")" : ") refused"));
        return hr;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        ++log.addRefs;
        return CWebBrowser::AddRef();
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ++log.releases;
        if (tearingDown) {
            ++log.releasesDuringTeardown;
            if (titleChangeHandler || documentCompleteHandler || navigateCompleteHandler ||
                beforeNavigateHandler || newWindowHandler || quitHandler || browserWindowHandler ||
                bridge.handler)
                log.boundWhileControlReleased = true;
        }
        return CWebBrowser::Release();
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* e,
                                     UINT* a) override
    {
        Note("Invoke(" + std::to_string(dispid) + ")");
        return CWebBrowser::Invoke(dispid, riid, lcid, flags, params, result, e, a);
    }
    SITE_SPY_CALL(GetContainer, (IOleContainer** c), (c))
    SITE_SPY_CALL(GetMoniker, (DWORD a, DWORD w, IMoniker** m), (a, w, m))
    SITE_SPY_CALL(SaveObject, (), ())
    SITE_SPY_CALL(ShowObject, (), ())
    SITE_SPY_CALL(OnShowWindow, (BOOL s), (s))
    SITE_SPY_CALL(RequestNewObjectLayout, (), ())
    SITE_SPY_CALL(GetWindow, (HWND* w), (w))
    SITE_SPY_CALL(ContextSensitiveHelp, (BOOL b), (b))
    SITE_SPY_CALL(CanInPlaceActivate, (), ())
    SITE_SPY_CALL(OnInPlaceActivate, (), ())
    SITE_SPY_CALL(OnUIActivate, (), ())
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** f, IOleInPlaceUIWindow** d, RECT* p,
                                               RECT* c, OLEINPLACEFRAMEINFO* i) override
    {
        Note("GetWindowContext");
        log.contextResult = CWebBrowser::GetWindowContext(f, d, p, c, i);
        if (i) log.frameInfo = *i;
        return log.contextResult;
    }
    SITE_SPY_CALL(Scroll, (SIZE s), (s))
    SITE_SPY_CALL(OnUIDeactivate, (BOOL u), (u))
    SITE_SPY_CALL(OnInPlaceDeactivate, (), ())
    SITE_SPY_CALL(DiscardUndoState, (), ())
    SITE_SPY_CALL(DeactivateAndUndo, (), ())
    SITE_SPY_CALL(OnPosRectChange, (const RECT* r), (r))
    SITE_SPY_CALL(GetBorder, (RECT* r), (r))
    SITE_SPY_CALL(RequestBorderSpace, (LPCBORDERWIDTHS w), (w))
    SITE_SPY_CALL(SetBorderSpace, (LPCBORDERWIDTHS w), (w))
    SITE_SPY_CALL(SetActiveObject, (IOleInPlaceActiveObject* o, LPCOLESTR n), (o, n))
    SITE_SPY_CALL(InsertMenus, (HMENU m, OLEMENUGROUPWIDTHS* w), (m, w))
    SITE_SPY_CALL(SetMenu, (HMENU m, HOLEMENU o, HWND w), (m, o, w))
    SITE_SPY_CALL(RemoveMenus, (HMENU m), (m))
    SITE_SPY_CALL(SetStatusText, (LPCOLESTR t), (t))
    SITE_SPY_CALL(EnableModeless, (BOOL e), (e))
    SITE_SPY_NOTED_CALL(TranslateAccelerator, "TranslateAccelerator(frame)", (MSG* m, WORD id), (m, id))
    SITE_SPY_CALL(ShowContextMenu, (DWORD id, POINT* p, IUnknown* c, IDispatch* d), (id, p, c, d))
    SITE_SPY_CALL(GetHostInfo, (DOCHOSTUIINFO* i), (i))
    SITE_SPY_CALL(ShowUI, (DWORD id, IOleInPlaceActiveObject* a, IOleCommandTarget* c,
                           IOleInPlaceFrame* f, IOleInPlaceUIWindow* d), (id, a, c, f, d))
    SITE_SPY_CALL(HideUI, (), ())
    SITE_SPY_CALL(UpdateUI, (), ())
    SITE_SPY_CALL(OnDocWindowActivate, (BOOL a), (a))
    SITE_SPY_CALL(OnFrameWindowActivate, (BOOL a), (a))
    SITE_SPY_CALL(ResizeBorder, (LPCRECT b, IOleInPlaceUIWindow* w, BOOL f), (b, w, f))
    SITE_SPY_NOTED_CALL(TranslateAccelerator, "TranslateAccelerator(ui)",
                        (MSG* m, const GUID* g, DWORD id), (m, g, id))
    SITE_SPY_CALL(GetOptionKeyPath, (LPOLESTR* k, DWORD r), (k, r))
    SITE_SPY_CALL(GetDropTarget, (IDropTarget* t, IDropTarget** r), (t, r))
    SITE_SPY_CALL(GetExternal, (IDispatch** d), (d))
    SITE_SPY_CALL(TranslateUrl, (DWORD t, LPWSTR i, LPWSTR* o), (t, i, o))
    SITE_SPY_CALL(FilterDataObject, (IDataObject* i, IDataObject** o), (i, o))

    // The recorded calls joined by spaces.
    static std::string Join(const std::vector<std::string>& calls)
    {
        std::string s;
        for (const auto& c : calls) s += (s.empty() ? "" : " ") + c;
        return s;
    }

private:
    void Note(const std::string& call)
    {
        log.calls.push_back(call);
    }
    SiteLog& log;
    bool tearingDown = false;
};

#undef SITE_SPY_CALL
#undef SITE_SPY_NOTED_CALL
