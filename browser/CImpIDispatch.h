#pragma once
#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// Receives every call page script makes through window.external: the dispatch id of the called
// name and its arguments in call order; the returned text is the call's value in script.
using ExternalHandler = std::function<std::wstring(unsigned dispid, const std::vector<std::wstring>& args)>;

// The window.external object. It lives inside its browser host and is never freed through
// Release: the reference count only mirrors what script and the control believe they hold.
class CImpIDispatch : public IDispatch {
public:
    // The one dispatch id a registered name receives.
    static constexpr DISPID kExternalDispid = 3000;

    CImpIDispatch() = default;
    CImpIDispatch(const CImpIDispatch&) = delete;
    CImpIDispatch& operator=(const CImpIDispatch&) = delete;
    virtual ~CImpIDispatch() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;

    // Registers a function name under kExternalDispid; only the first registration succeeds.
    bool AddExternalName(std::wstring name);
    void SetExternalHandler(ExternalHandler newHandler);
    // Drops the handler and the names; later calls from script then do nothing.
    void Clear();

    // One script argument as text: strings as they are, other types converted, and what cannot
    // be converted as the empty string. False only for a null string, which is skipped.
    static bool ArgumentText(const VARIANT& arg, std::wstring& text);

    std::map<DISPID, std::wstring> names;
    ExternalHandler handler;
    int refCount = 0;
    std::mutex lock;
};
