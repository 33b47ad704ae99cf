#pragma once
// An in-place active object that only records the keys offered to it, put in the place of the
// control's own so that a site's key handling can be watched.
#include <ole2.h>

#include <vector>

#include "CWebBrowser.h"

class FakeActiveObject : public IOleInPlaceActiveObject {
public:
    // Becomes the site's active object (the site holds one reference until it lets go).
    void ActFor(CWebBrowser& site)
    {
        AddRef();
        site.activeObject = ComPtr<IOleInPlaceActiveObject>::Attach(this);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IOleInPlaceActiveObject))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override
    {
        messages.push_back(msg->message);
        keys.push_back(msg->wParam);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    ULONG refs = 0;
    std::vector<UINT> messages;  // of the keys offered, in order
    std::vector<WPARAM> keys;
};
