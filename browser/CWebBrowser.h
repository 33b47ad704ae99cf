#pragma once
#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <oleidl.h>

#include <functional>
#include <string>

#include "CImpIDispatch.h"
#include "ComPtr.h"

// CGID_DocHostCommandHandler: the command group of script-error reports (MinGW's uuid library
// does not define it).
inline constexpr GUID kDocHostCommandGroup = {0xf38bc242, 0xb950, 0x11d1,
                                              {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

using TitleChangeHandler = std::function<void(const wchar_t* title)>;
using DocumentCompleteHandler = std::function<void(IDispatch* frameDispatch, const wchar_t* url)>;
using NavigateCompleteHandler = std::function<void(const wchar_t* url)>;
using BeforeNavigateHandler =
    std::function<void(IDispatch* frameDispatch, const wchar_t* url, VARIANT_BOOL* cancel)>;
using NewWindowHandler = std::function<void(IDispatch** ppDisp, short*& cancel, unsigned long flags,
                                            wchar_t* urlContext, wchar_t* url)>;
// A navigation that failed: the frame that navigated, the address, the status code (an HRESULT
// of the platform's INET_E_* family or an HTTP status) and the cancel flag of the control's own
// error page.
using NavigateErrorHandler = std::function<void(IDispatch* frameDispatch, const wchar_t* url,
                                                long status, VARIANT_BOOL* cancel)>;
using QuitHandler = std::function<void()>;
using BrowserWindowHandler = std::function<void(HWND browserWindow)>;

// Hosts the WebBrowser control in a window: one object is the control's client site, in-place
// site and frame, document-host UI handler and (through its primary IDispatch) the sink of its
// DWebBrowserEvents2 events. Its lifetime belongs to its owner: AddRef and Release only count,
// and the control is released when this object is destroyed.
class CWebBrowser : public IDispatch,
                    public IOleClientSite,
                    public IOleInPlaceSite,
                    public IOleInPlaceFrame,
                    public IDocHostUIHandler {
public:
    CWebBrowser() = default;
    CWebBrowser(const CWebBrowser&) = delete;
    CWebBrowser& operator=(const CWebBrowser&) = delete;

    // IUnknown (shared by every face)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the event sink
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;

    // Operations for the owner
    virtual bool Navigate(const wchar_t* url, DWORD flags);
    virtual HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text);
    virtual HRESULT Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in, VARIANT* out);
    virtual bool LoadHtml(const wchar_t* html);
    virtual bool GetBodyHtml(wchar_t* buffer, int* capacity);
    virtual bool ClickElement(BSTR id);
    virtual bool SetElementValue(BSTR id, const wchar_t* value);
    virtual bool GetElementValue(BSTR id, wchar_t* buffer, int* capacity);
    virtual ~CWebBrowser();

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IOleWindow (in-place site and frame alike)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               RECT* posRect, RECT* clipRect,
                                               OLEINPLACEFRAMEINFO* frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* posRect) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU oleMenu, HWND activeObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;  // frame and UI handler
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg, WORD id) override;

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                              IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                                     IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                                     IOleInPlaceUIWindow* doc) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                           BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg, const GUID* group, DWORD id) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* in, IDataObject** out) override;

    // Creates the control in host and activates it in place; false when it already exists.
    bool CreateControl(HWND host);
    // Offers a queued keyboard message to the control; S_OK means it was consumed.
    HRESULT TranslateKey(MSG* msg);
    // The control's shell window, fetched again when the cached one is gone.
    HWND GetBrowserWindow();
    // The control's in-place window (its outermost window), or null without a control.
    HWND GetInPlaceWindow();
    // Places the control's in-place window at rect (host client coordinates).
    bool SetObjectRects(const RECT& rect);
    // Owning references to the current document, or null.
    ComPtr<IHTMLDocument2> GetDocument();
    ComPtr<IHTMLDocument3> GetDocument3();

    void SetNewWindowHandler(NewWindowHandler handler);
    void SetDocumentCompleteHandler(DocumentCompleteHandler handler);
    void SetNavigateCompleteHandler(NavigateCompleteHandler handler);
    void SetNavigateErrorHandler(NavigateErrorHandler handler);
    // True when frame is the control itself: the event belongs to the top-level navigation.
    bool IsTopLevel(IDispatch* frame);

    bool AddExternalName(std::wstring name);
    void SetExternalHandler(ExternalHandler handler);

    // Reads the script-error properties of an event object, as a script would; returns the
    // HRESULT of the last read.
    static HRESULT ReadScriptError(IDispatch* event);
    // Copies an attribute value read from an element into buffer when it is a string and fits
    // (capacity in characters); when it does not fit, stores the size needed into capacity.
    // Values of other types are refused and nothing is written.
    static bool CopyValueText(const VARIANT& value, wchar_t* buffer, int* capacity);
    // Copies text with its terminator into a zeroed buffer when it fits; otherwise writes nothing.
    static void CopyWhenFits(BSTR text, wchar_t* buffer, int capacity);

    ComPtr<IStorage> storage;
    ComPtr<IOleObject> oleObject;
    ComPtr<IOleInPlaceObject> inPlaceObject;
    ComPtr<IOleInPlaceActiveObject> activeObject;
    ComPtr<IWebBrowser2> webBrowser;
    HWND hostWindow = nullptr;
    HWND browserWindow = nullptr;  // borrowed: the control owns its windows
    int inPlaceActive = 0;
    volatile LONG refCount = 0;
    TitleChangeHandler titleChangeHandler;
    DocumentCompleteHandler documentCompleteHandler;
    NavigateCompleteHandler navigateCompleteHandler;
    NavigateErrorHandler navigateErrorHandler;
    BeforeNavigateHandler beforeNavigateHandler;
    NewWindowHandler newWindowHandler;
    QuitHandler quitHandler;
    CImpIDispatch bridge;
    BrowserWindowHandler browserWindowHandler;
    bool noScrollBars = true;
    DWORD adviseCookie = 0;  // the event connection, ended before the control is released

protected:
    // Empties the callbacks and the bridge, makes the control let go of this site (stop, end the
    // event connection, deactivate, close, no client site), then releases its interfaces. Runs
    // from the destructor; safe to run earlier and again.
    void ReleaseControl();

private:
    // Asks the control's shell browser for its window; a failed query leaves browserWindow.
    void FetchBrowserWindow();
    HRESULT OnEvent(DISPID dispid, DISPPARAMS* params);
    // The element with this id in the current document, or null.
    ComPtr<IHTMLElement> FindElement(BSTR id);
};
