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
    bool recording = true;
    // A callback or the page-script handler was still bound when the control released the site.
    bool boundWhileControlReleased = false;
    long releasesDuringTeardown = 0;
};

inline std::string InterfaceName(REFIID riid)
{
    struct Known {
        const IID* iid;
        const char* name;
    };
    static const Known known[] = {
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
        if (IsEqualIID(riid, *k.iid)) return k.name;
    wchar_t text[64] = {};
    StringFromGUID2(riid, text, 64);
    std::string s;
    for (const wchar_t* p = text; *p; ++p) s += static_cast<char>(*p);
    return s;
}

class SiteSpy : public CWebBrowser {
public:
    explicit SiteSpy(SiteLog& log) : log_(log) {}
    ~SiteSpy() override
    {
        // Release the control while this object's overrides still answer, so the calls made
        // during the release are recorded too.
        tearingDown_ = true;
        ReleaseControl();
        log_.refCountAfterRelease = refCount;
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
        ++log_.addRefs;
        return CWebBrowser::AddRef();
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ++log_.releases;
        if (tearingDown_) {
            ++log_.releasesDuringTeardown;
            if (titleChangeHandler || documentCompleteHandler || navigateCompleteHandler ||
                beforeNavigateHandler || newWindowHandler || quitHandler || browserWindowHandler ||
                bridge.handler)
                log_.boundWhileControlReleased = true;
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
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override
    {
        Note("GetContainer");
        return CWebBrowser::GetContainer(c);
    }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD a, DWORD w, IMoniker** m) override
    {
        Note("GetMoniker");
        return CWebBrowser::GetMoniker(a, w, m);
    }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return Note("SaveObject"), CWebBrowser::SaveObject(); }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return Note("ShowObject"), CWebBrowser::ShowObject(); }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL s) override
    {
        return Note("OnShowWindow"), CWebBrowser::OnShowWindow(s);
    }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override
    {
        return Note("RequestNewObjectLayout"), CWebBrowser::RequestNewObjectLayout();
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override { return Note("GetWindow"), CWebBrowser::GetWindow(w); }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL b) override
    {
        return Note("ContextSensitiveHelp"), CWebBrowser::ContextSensitiveHelp(b);
    }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override
    {
        return Note("CanInPlaceActivate"), CWebBrowser::CanInPlaceActivate();
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override
    {
        return Note("OnInPlaceActivate"), CWebBrowser::OnInPlaceActivate();
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Note("OnUIActivate"), CWebBrowser::OnUIActivate(); }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** f, IOleInPlaceUIWindow** d, RECT* p,
                                               RECT* c, OLEINPLACEFRAMEINFO* i) override
    {
        Note("GetWindowContext");
        log_.contextResult = CWebBrowser::GetWindowContext(f, d, p, c, i);
        if (i) log_.frameInfo = *i;
        return log_.contextResult;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE s) override { return Note("Scroll"), CWebBrowser::Scroll(s); }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL u) override
    {
        return Note("OnUIDeactivate"), CWebBrowser::OnUIDeactivate(u);
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override
    {
        return Note("OnInPlaceDeactivate"), CWebBrowser::OnInPlaceDeactivate();
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override
    {
        return Note("DiscardUndoState"), CWebBrowser::DiscardUndoState();
    }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override
    {
        return Note("DeactivateAndUndo"), CWebBrowser::DeactivateAndUndo();
    }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* r) override
    {
        return Note("OnPosRectChange"), CWebBrowser::OnPosRectChange(r);
    }
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* r) override { return Note("GetBorder"), CWebBrowser::GetBorder(r); }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS w) override
    {
        return Note("RequestBorderSpace"), CWebBrowser::RequestBorderSpace(w);
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS w) override
    {
        return Note("SetBorderSpace"), CWebBrowser::SetBorderSpace(w);
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* o, LPCOLESTR n) override
    {
        return Note("SetActiveObject"), CWebBrowser::SetActiveObject(o, n);
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU m, OLEMENUGROUPWIDTHS* w) override
    {
        return Note("InsertMenus"), CWebBrowser::InsertMenus(m, w);
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU m, HOLEMENU o, HWND w) override
    {
        return Note("SetMenu"), CWebBrowser::SetMenu(m, o, w);
    }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU m) override { return Note("RemoveMenus"), CWebBrowser::RemoveMenus(m); }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR t) override
    {
        return Note("SetStatusText"), CWebBrowser::SetStatusText(t);
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL e) override
    {
        return Note("EnableModeless"), CWebBrowser::EnableModeless(e);
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* m, WORD id) override
    {
        return Note("TranslateAccelerator(frame)"), CWebBrowser::TranslateAccelerator(m, id);
    }
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* p, IUnknown* c, IDispatch* d) override
    {
        return Note("ShowContextMenu"), CWebBrowser::ShowContextMenu(id, p, c, d);
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* i) override
    {
        return Note("GetHostInfo"), CWebBrowser::GetHostInfo(i);
    }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* a, IOleCommandTarget* c,
                                     IOleInPlaceFrame* f, IOleInPlaceUIWindow* d) override
    {
        return Note("ShowUI"), CWebBrowser::ShowUI(id, a, c, f, d);
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return Note("HideUI"), CWebBrowser::HideUI(); }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return Note("UpdateUI"), CWebBrowser::UpdateUI(); }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL a) override
    {
        return Note("OnDocWindowActivate"), CWebBrowser::OnDocWindowActivate(a);
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL a) override
    {
        return Note("OnFrameWindowActivate"), CWebBrowser::OnFrameWindowActivate(a);
    }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT b, IOleInPlaceUIWindow* w, BOOL f) override
    {
        return Note("ResizeBorder"), CWebBrowser::ResizeBorder(b, w, f);
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* m, const GUID* g, DWORD id) override
    {
        return Note("TranslateAccelerator(ui)"), CWebBrowser::TranslateAccelerator(m, g, id);
    }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* k, DWORD r) override
    {
        return Note("GetOptionKeyPath"), CWebBrowser::GetOptionKeyPath(k, r);
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* t, IDropTarget** r) override
    {
        return Note("GetDropTarget"), CWebBrowser::GetDropTarget(t, r);
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** d) override
    {
        return Note("GetExternal"), CWebBrowser::GetExternal(d);
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD t, LPWSTR i, LPWSTR* o) override
    {
        return Note("TranslateUrl"), CWebBrowser::TranslateUrl(t, i, o);
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* i, IDataObject** o) override
    {
        return Note("FilterDataObject"), CWebBrowser::FilterDataObject(i, o);
    }

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
        if (log_.recording) log_.calls.push_back(call);
    }
    SiteLog& log_;
    bool tearingDown_ = false;
};
