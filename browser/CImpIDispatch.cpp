#include "CImpIDispatch.h"

#include "UniqueHandle.h"

#include <exception>
#include <utility>

HRESULT STDMETHODCALLTYPE CImpIDispatch::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        // Not counted: the bridge's lifetime is its host's, not its callers'.
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    return E_FAIL;
}

ULONG STDMETHODCALLTYPE CImpIDispatch::AddRef() { return static_cast<ULONG>(++refCount); }

ULONG STDMETHODCALLTYPE CImpIDispatch::Release() { return static_cast<ULONG>(--refCount); }

HRESULT STDMETHODCALLTYPE CImpIDispatch::GetTypeInfoCount(UINT*) { return E_FAIL; }

HRESULT STDMETHODCALLTYPE CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_FAIL; }

bool CImpIDispatch::AddExternalName(std::wstring name)
{
    for (const auto& entry : names) {
        if (entry.first == kExternalDispid || entry.second == name) return false;
    }
    names.emplace(kExternalDispid, std::move(name));
    return true;
}

void CImpIDispatch::SetExternalHandler(ExternalHandler newHandler) { handler = std::move(newHandler); }

void CImpIDispatch::Clear()
{
    handler = nullptr;
    names.clear();
}

HRESULT STDMETHODCALLTYPE CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* wanted, UINT count, LCID,
                                                       DISPID* ids)
{
    if (count && (!wanted || !ids)) return E_POINTER;
    HRESULT hr = S_OK;
    std::lock_guard<std::mutex> guard(lock);
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (wanted[i]) {
            for (const auto& entry : names) {
                if (entry.second == wanted[i]) {
                    ids[i] = entry.first;
                    break;
                }
            }
        }
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

bool CImpIDispatch::ArgumentText(const VARIANT& arg, std::wstring& text)
{
    // Script may hand over anything; only a real VT_BSTR is read as a string.
    const BSTR* direct = nullptr;
    if (arg.vt == VT_BSTR) direct = &arg.bstrVal;
    if (arg.vt == (VT_BYREF | VT_BSTR)) direct = arg.pbstrVal;
    if (direct || arg.vt == (VT_BYREF | VT_BSTR)) {
        if (!direct || !*direct) return false;
        text.assign(*direct);  // up to its terminating NUL
        return true;
    }
    UniqueVariant converted;
    if (SUCCEEDED(VariantChangeTypeEx(converted.Put(), const_cast<VARIANT*>(&arg), LOCALE_INVARIANT,
                                      VARIANT_ALPHABOOL, VT_BSTR)) &&
        converted.Get().vt == VT_BSTR && converted.Get().bstrVal) {
        text.assign(converted.Get().bstrVal);
    } else {
        text.clear();
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CImpIDispatch::Invoke(DISPID dispid, REFIID, LCID, WORD flags,
                                                DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                                UINT*)
{
    if (!handler) return S_OK;
    if (names.find(dispid) == names.end()) return S_OK;
    if ((flags & DISPATCH_PROPERTYGET) && result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = 1;
    }
    if (!(flags & DISPATCH_METHOD)) return S_OK;
    try {
        std::vector<std::wstring> args;
        if (params && params->rgvarg) {
            // DISPPARAMS holds the arguments last-first; the handler gets them in call order.
            for (UINT i = 0; i < params->cArgs; ++i) {
                std::wstring text;
                if (ArgumentText(params->rgvarg[i], text)) args.insert(args.begin(), std::move(text));
            }
        }
        std::wstring text = handler(static_cast<unsigned>(dispid), args);
        if (result) {
            VariantInit(result);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(text.c_str());
        }
    } catch (...) {
        // A failing call never raises a script error.
    }
    return S_OK;
}
