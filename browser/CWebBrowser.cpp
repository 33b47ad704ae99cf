#include "CWebBrowser.h"

#include "UniqueHandle.h"

#include <exdispid.h>
#include <ocidl.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstring>
#include <utility>

namespace {

constexpr wchar_t kDocumentWindowClass[] = L"Internet Explorer_Server";

// A VT_BSTR variant holding a copy of text; empty when the copy could not be made.
UniqueVariant StringVariant(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.bstrVal = SysAllocString(text);
    if (v.bstrVal) v.vt = VT_BSTR;
    return UniqueVariant(v);
}

// The string inside a by-reference VARIANT holding a BSTR, as the control passes URLs.
bool RefString(const VARIANT& v, const wchar_t*& text)
{
    if (v.vt != (VT_BYREF | VT_VARIANT) || !v.pvarVal || v.pvarVal->vt != VT_BSTR) return false;
    text = v.pvarVal->bstrVal;
    return true;
}

// Empty optional arguments for Navigate2.
struct EmptyArguments {
    EmptyArguments()
    {
        VariantInit(&frame);
        VariantInit(&postData);
        VariantInit(&headers);
    }
    VARIANT frame, postData, headers;
};

}  // namespace

CWebBrowser::~CWebBrowser() { ReleaseControl(); }

void CWebBrowser::ReleaseControl()
{
    // The control may call back into the sink while its last reference goes, so every callback
    // is empty before any interface is released.
    browserWindowHandler = nullptr;
    bridge.Clear();
    titleChangeHandler = nullptr;
    documentCompleteHandler = nullptr;
    navigateCompleteHandler = nullptr;
    navigateErrorHandler = nullptr;
    beforeNavigateHandler = nullptr;
    newWindowHandler = nullptr;
    quitHandler = nullptr;
    // A navigation still in flight keeps the control alive past its last reference from here,
    // and it would go on calling this site. So the control lets go of the site first: the
    // navigation is stopped, the event connection ended, the control deactivated and closed,
    // and its client site taken away.
    if (webBrowser) webBrowser->Stop();
    auto container = webBrowser.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    if (container) container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put());
    if (point && adviseCookie) point->Unadvise(adviseCookie);
    adviseCookie = 0;
    point.Reset();
    container.Reset();
    if (inPlaceObject) inPlaceObject->InPlaceDeactivate();
    if (oleObject) {
        oleObject->Close(OLECLOSE_NOSAVE);
        oleObject->SetClientSite(nullptr);
    }
    webBrowser.Reset();
    activeObject.Reset();
    inPlaceObject.Reset();
    oleObject.Reset();
    storage.Reset();
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CWebBrowser::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
               IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceSite)) {
        if (!inPlaceActive) *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceFrame) || IsEqualIID(riid, IID_IOleInPlaceUIWindow)) {
        if (!inPlaceActive) *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (IsEqualIID(riid, IID_IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
    }
    if (!*object) return E_NOINTERFACE;
    static_cast<IDispatch*>(this)->AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CWebBrowser::AddRef()
{
    InterlockedIncrement(&refCount);
    return 0;
}

ULONG STDMETHODCALLTYPE CWebBrowser::Release()
{
    InterlockedDecrement(&refCount);
    return 0;
}

// ---- IDispatch ----

HRESULT STDMETHODCALLTYPE CWebBrowser::GetTypeInfoCount(UINT* count)
{
    if (count) *count = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CWebBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::Invoke(DISPID dispid, REFIID riid, LCID, WORD,
                                              DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (!IsEqualIID(riid, IID_NULL)) return E_INVALIDARG;
    return OnEvent(dispid, params);
}

HRESULT CWebBrowser::OnEvent(DISPID dispid, DISPPARAMS* params)
{
    // Arguments arrive last-first: a[0] is the event's last parameter. An event with fewer
    // arguments than documented, or with arguments of other types, is ignored.
    UINT argc = params && params->rgvarg ? params->cArgs : 0;
    VARIANT* a = argc ? params->rgvarg : nullptr;
    const wchar_t* url = nullptr;
    switch (dispid) {
    case DISPID_QUIT:
        if (quitHandler) quitHandler();
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
        return S_OK;
    case DISPID_NAVIGATEERROR:
        // (frame, URL, target frame name, status code, cancel)
        if (argc >= 5 && a[4].vt == VT_DISPATCH && RefString(a[3], url) &&
            a[1].vt == (VT_BYREF | VT_VARIANT) && a[1].pvarVal &&
            (a[1].pvarVal->vt == VT_I4 || a[1].pvarVal->vt == VT_UI4) &&
            a[0].vt == (VT_BYREF | VT_BOOL) && navigateErrorHandler)
            navigateErrorHandler(a[4].pdispVal, url, a[1].pvarVal->lVal, a[0].pboolVal);
        return S_OK;
    case DISPID_TITLECHANGE:
        if (argc >= 1 && a[0].vt == VT_BSTR && titleChangeHandler) titleChangeHandler(a[0].bstrVal);
        return S_OK;
    case DISPID_BEFORENAVIGATE2:
        if (argc >= 7 && a[6].vt == VT_DISPATCH && RefString(a[5], url) &&
            a[0].vt == (VT_BYREF | VT_BOOL) && beforeNavigateHandler)
            beforeNavigateHandler(a[6].pdispVal, url, a[0].pboolVal);
        return S_OK;
    case DISPID_NAVIGATECOMPLETE2:
        if (argc >= 2) {
            // Also for sub-frames: the shell window the owner sizes may have changed.
            FetchBrowserWindow();
            if (RefString(a[0], url) && navigateCompleteHandler) navigateCompleteHandler(url);
        }
        return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
        if (argc >= 2 && a[1].vt == VT_DISPATCH && RefString(a[0], url) && documentCompleteHandler)
            documentCompleteHandler(a[1].pdispVal, url);
        return S_OK;
    case DISPID_NEWWINDOW3:
        if (argc >= 5 && a[4].vt == (VT_BYREF | VT_DISPATCH) && a[3].vt == (VT_BYREF | VT_BOOL) &&
            (a[2].vt == VT_I4 || a[2].vt == VT_UI4) && a[1].vt == VT_BSTR && a[0].vt == VT_BSTR &&
            newWindowHandler)
            newWindowHandler(a[4].ppdispVal, a[3].pboolVal, a[2].ulVal, a[1].bstrVal, a[0].bstrVal);
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CWebBrowser::SetNewWindowHandler(NewWindowHandler handler) { newWindowHandler = std::move(handler); }

void CWebBrowser::SetDocumentCompleteHandler(DocumentCompleteHandler handler)
{
    documentCompleteHandler = std::move(handler);
}

void CWebBrowser::SetNavigateCompleteHandler(NavigateCompleteHandler handler)
{
    navigateCompleteHandler = std::move(handler);
}

void CWebBrowser::SetNavigateErrorHandler(NavigateErrorHandler handler)
{
    navigateErrorHandler = std::move(handler);
}

bool CWebBrowser::IsTopLevel(IDispatch* frame)
{
    if (!frame || !webBrowser) return false;
    // COM identity: both sides compared as IUnknown.
    ComPtr<IUnknown> a, b;
    if (FAILED(frame->QueryInterface(IID_IUnknown, a.PutVoid())) ||
        FAILED(webBrowser->QueryInterface(IID_IUnknown, b.PutVoid())))
        return false;
    return a.Get() == b.Get();
}

bool CWebBrowser::AddExternalName(std::wstring name) { return bridge.AddExternalName(std::move(name)); }

void CWebBrowser::SetExternalHandler(ExternalHandler handler)
{
    bridge.SetExternalHandler(std::move(handler));
}

// ---- IOleClientSite ----

HRESULT STDMETHODCALLTYPE CWebBrowser::SaveObject() { return S_OK; }

HRESULT STDMETHODCALLTYPE CWebBrowser::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::GetContainer(IOleContainer** container)
{
    if (container) *container = nullptr;
    return E_FAIL;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::ShowObject() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnShowWindow(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::RequestNewObjectLayout() { return S_OK; }

// ---- IOleWindow ----

HRESULT STDMETHODCALLTYPE CWebBrowser::GetWindow(HWND* window)
{
    if (!window) return E_POINTER;
    *window = hostWindow;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// ---- IOleInPlaceSite ----

HRESULT STDMETHODCALLTYPE CWebBrowser::CanInPlaceActivate()
{
    if (inPlaceActive) return S_FALSE;
    inPlaceActive = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::OnInPlaceActivate() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnUIActivate() { return S_OK; }

HRESULT STDMETHODCALLTYPE CWebBrowser::GetWindowContext(IOleInPlaceFrame** frame,
                                                        IOleInPlaceUIWindow** doc, RECT* posRect,
                                                        RECT* clipRect,
                                                        OLEINPLACEFRAMEINFO* frameInfo)
{
    if (!frame || !doc || !posRect || !clipRect || !frameInfo) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    static_cast<IDispatch*>(this)->AddRef();
    *doc = nullptr;
    RECT client = {};
    GetClientRect(hostWindow, &client);
    *posRect = client;
    *clipRect = client;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetParent(hostWindow);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnInPlaceDeactivate() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::DiscardUndoState() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::DeactivateAndUndo() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnPosRectChange(const RECT*) { return S_OK; }

// ---- IOleInPlaceUIWindow / IOleInPlaceFrame ----

HRESULT STDMETHODCALLTYPE CWebBrowser::GetBorder(RECT* border)
{
    if (!border) return E_POINTER;
    *border = RECT{};
    GetClientRect(hostWindow, border);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::RequestBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR)
{
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CWebBrowser::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::SetMenu(HMENU, HOLEMENU, HWND) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::SetStatusText(LPCOLESTR) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::EnableModeless(BOOL) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE CWebBrowser::TranslateAccelerator(MSG*, WORD) { return E_NOTIMPL; }

// ---- IDocHostUIHandler ----

HRESULT STDMETHODCALLTYPE CWebBrowser::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info) return E_POINTER;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER;
    if (noScrollBars) info->dwFlags |= DOCHOSTUIFLAG_SCROLL_NO;
    info->dwDoubleClick = 0;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                              IOleInPlaceFrame*, IOleInPlaceUIWindow*)
{
    return S_OK;
}
HRESULT STDMETHODCALLTYPE CWebBrowser::HideUI() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::UpdateUI() { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::TranslateAccelerator(MSG*, const GUID*, DWORD) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE CWebBrowser::GetOptionKeyPath(LPOLESTR*, DWORD) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::GetDropTarget(IDropTarget*, IDropTarget**) { return S_OK; }

HRESULT STDMETHODCALLTYPE CWebBrowser::GetExternal(IDispatch** dispatch)
{
    if (!dispatch) return E_POINTER;
    *dispatch = &bridge;
    bridge.AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowser::TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return S_OK; }
HRESULT STDMETHODCALLTYPE CWebBrowser::FilterDataObject(IDataObject*, IDataObject**) { return S_OK; }

// ---- Operations for the owner ----

bool CWebBrowser::CreateControl(HWND host)
{
    if (inPlaceActive) return false;
    inPlaceActive = 0;
    // A temporary compound file; deleted with its last reference, so no file outlives the run.
    StgCreateDocfile(nullptr,
                     STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE | STGM_DELETEONRELEASE, 0,
                     storage.Put());
    OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr,
              static_cast<IOleClientSite*>(this), storage.Get(), oleObject.PutVoid());
    inPlaceObject = oleObject.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    activeObject = oleObject.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    webBrowser = oleObject.As<IWebBrowser2>(IID_IWebBrowser2);
    hostWindow = host;
    RECT client = {};
    GetClientRect(host, &client);
    if (oleObject)
        oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                          hostWindow, &client);
    auto container = webBrowser.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    if (container) container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put());
    adviseCookie = 0;
    if (point) point->Advise(static_cast<IDispatch*>(this), &adviseCookie);
    inPlaceActive = 1;
    return true;
}

bool CWebBrowser::Navigate(const wchar_t* url, DWORD flags)
{
    if (!webBrowser || !url) return false;
    UniqueVariant target = StringVariant(url);
    if (!target) return false;
    VARIANT flagArg;
    VariantInit(&flagArg);
    flagArg.vt = VT_I4;
    flagArg.lVal = static_cast<LONG>(flags);
    EmptyArguments none;
    webBrowser->Navigate2(&target.Get(), &flagArg, &none.frame, &none.postData, &none.headers);
    return true;
}

HRESULT CWebBrowser::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*)
{
    return OLECMDERR_E_NOTSUPPORTED;
}

HRESULT CWebBrowser::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out)
{
    if (!group || !IsEqualGUID(*group, kDocHostCommandGroup)) return OLECMDERR_E_UNKNOWNGROUP;
    if (id != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
    HRESULT hr = E_FAIL;
    ComPtr<IHTMLDocument2> document;
    if (in && (in->vt == VT_UNKNOWN || in->vt == VT_DISPATCH) && in->punkVal)
        in->punkVal->QueryInterface(IID_IHTMLDocument2, document.PutVoid());
    ComPtr<IHTMLWindow2> window;
    if (document) document->get_parentWindow(window.Put());
    ComPtr<IHTMLEventObj> event;
    if (window) window->get_event(event.Put());
    if (event) hr = ReadScriptError(event.Get());
    if (out) {
        // Keep running the page's scripts and show no error dialog. What the caller left in out
        // is ours to let go.
        UniqueVariant previous(*out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return hr;
}

HRESULT CWebBrowser::ReadScriptError(IDispatch* event)
{
    // The values only confirm that the error is a script error; nothing else uses them.
    static const wchar_t* const properties[] = {L"errorLine", L"errorCharacter", L"errorCode",
                                                L"errorMessage", L"errorUrl"};
    HRESULT hr = E_FAIL;
    if (!event) return hr;
    for (const wchar_t* property : properties) {
        LPOLESTR name = const_cast<LPOLESTR>(property);
        DISPID dispid = DISPID_UNKNOWN;
        event->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &dispid);
        DISPPARAMS none = {};
        UniqueVariant value;
        hr = event->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none,
                           value.Put(), nullptr, nullptr);
    }
    return hr;
}

ComPtr<IHTMLDocument2> CWebBrowser::GetDocument()
{
    ComPtr<IDispatch> dispatch;
    if (webBrowser) webBrowser->get_Document(dispatch.Put());
    return dispatch.As<IHTMLDocument2>(IID_IHTMLDocument2);
}

ComPtr<IHTMLDocument3> CWebBrowser::GetDocument3()
{
    ComPtr<IDispatch> dispatch;
    if (webBrowser) webBrowser->get_Document(dispatch.Put());
    return dispatch.As<IHTMLDocument3>(IID_IHTMLDocument3);
}

bool CWebBrowser::LoadHtml(const wchar_t* html)
{
    if (!html || !webBrowser) return false;
    UniqueVariant blank = StringVariant(L"about:blank");
    if (!blank) return false;
    VARIANT noFlags;
    VariantInit(&noFlags);
    EmptyArguments none;
    webBrowser->Navigate2(&blank.Get(), &noFlags, &none.frame, &none.postData, &none.headers);
    ComPtr<IHTMLDocument2> document = GetDocument();
    if (!document) return false;
    UniqueSafeArray array(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    if (!array.Get()) return false;
    VARIANT* element = nullptr;
    if (FAILED(SafeArrayAccessData(array.Get(), reinterpret_cast<void**>(&element)))) return false;
    // The array owns the string from here on and frees it when destroyed.
    element->vt = VT_BSTR;
    element->bstrVal = SysAllocString(html);
    bool allocated = element->bstrVal != nullptr;
    SafeArrayUnaccessData(array.Get());
    if (!allocated) return false;
    if (FAILED(document->write(array.Get()))) return false;
    document->close();
    return true;
}

bool CWebBrowser::GetBodyHtml(wchar_t* buffer, int* capacity)
{
    if (!buffer || !capacity) return false;
    ComPtr<IHTMLDocument2> document = GetDocument();
    if (!document) return false;
    ComPtr<IHTMLElement> body;
    document->get_body(body.Put());
    if (!body) return false;
    UniqueBstr text;
    if (FAILED(body->get_innerHTML(text.Put()))) return false;
    if (text) CopyWhenFits(text.Get(), buffer, *capacity);
    return true;
}

void CWebBrowser::CopyWhenFits(BSTR text, wchar_t* buffer, int capacity)
{
    const int length = static_cast<int>(SysStringLen(text));
    if (!buffer || capacity < length + 1) return;
    memset(buffer, 0, sizeof(wchar_t) * static_cast<size_t>(capacity));
    if (text) memcpy(buffer, text, sizeof(wchar_t) * static_cast<size_t>(length));
}

bool CWebBrowser::CopyValueText(const VARIANT& value, wchar_t* buffer, int* capacity)
{
    // An element without a value attribute answers VT_NULL or similar: nothing to copy.
    if (!capacity || value.vt != VT_BSTR) return false;
    const int needed = static_cast<int>(SysStringLen(value.bstrVal)) + 1;
    if (*capacity >= needed && buffer) {
        CopyWhenFits(value.bstrVal, buffer, *capacity);
        return true;
    }
    *capacity = needed;
    return false;
}

ComPtr<IHTMLElement> CWebBrowser::FindElement(BSTR id)
{
    ComPtr<IHTMLElement> element;
    if (!id) return element;
    ComPtr<IHTMLDocument3> document = GetDocument3();
    if (document) document->getElementById(id, element.Put());
    return element;
}

bool CWebBrowser::ClickElement(BSTR id)
{
    ComPtr<IHTMLElement> element = FindElement(id);
    if (!element) return false;
    element->click();
    return true;
}

bool CWebBrowser::SetElementValue(BSTR id, const wchar_t* value)
{
    if (!id || !value) return false;
    ComPtr<IHTMLElement> element = FindElement(id);
    if (!element) return false;
    UniqueBstr name(SysAllocString(L"value"));
    UniqueVariant text = StringVariant(value);
    if (!name || !text) return false;
    element->setAttribute(name.Get(), text.Get(), 1);
    return true;
}

bool CWebBrowser::GetElementValue(BSTR id, wchar_t* buffer, int* capacity)
{
    if (!capacity || !id) return false;
    ComPtr<IHTMLElement> element = FindElement(id);
    if (!element) return false;
    UniqueBstr name(SysAllocString(L"value"));
    if (!name) return false;
    UniqueVariant value;
    if (FAILED(element->getAttribute(name.Get(), 0, value.Put()))) return false;
    return CopyValueText(value.Get(), buffer, capacity);
}

HRESULT CWebBrowser::TranslateKey(MSG* msg)
{
    if (!msg || msg->message < WM_KEYFIRST || msg->message > 0x0109) return S_FALSE;
    if (!webBrowser) return E_NOTIMPL;
    wchar_t name[256] = {};
    GetClassNameW(msg->hwnd, name, 255);
    if (wcscmp(name, kDocumentWindowClass) == 0 && activeObject)
        return activeObject->TranslateAccelerator(msg);
    return S_FALSE;
}

void CWebBrowser::FetchBrowserWindow()
{
    auto services = webBrowser.As<IServiceProvider>(IID_IServiceProvider);
    if (!services) return;
    ComPtr<IOleWindow> window;
    if (FAILED(services->QueryService(SID_SShellBrowser, IID_IOleWindow, window.PutVoid())) || !window)
        return;
    HWND found = nullptr;
    if (FAILED(window->GetWindow(&found))) {
        browserWindow = nullptr;
        return;
    }
    browserWindow = found;
    if (browserWindowHandler) browserWindowHandler(browserWindow);
}

HWND CWebBrowser::GetBrowserWindow()
{
    if (browserWindow && IsWindow(browserWindow)) return browserWindow;
    if (!webBrowser) return browserWindow;
    FetchBrowserWindow();
    return browserWindow;
}

HWND CWebBrowser::GetInPlaceWindow()
{
    HWND window = nullptr;
    if (inPlaceObject && FAILED(inPlaceObject->GetWindow(&window))) window = nullptr;
    return window;
}

bool CWebBrowser::SetObjectRects(const RECT& rect)
{
    return inPlaceObject && SUCCEEDED(inPlaceObject->SetObjectRects(&rect, &rect));
}
