#pragma once
// Arguments of an IDispatch call, given in the callee's own parameter order; Params() hands them
// out last-first, as the browser control and script engines do. Strings given as text are copied
// and owned here (which makes the object move-only); everything else is borrowed from the caller.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "UniqueHandle.h"

// A VARIANT of the type, holding nothing yet.
inline VARIANT TypedVariant(VARTYPE type)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    return v;
}

class DispatchArgs {
public:
    DispatchArgs& Add(const VARIANT& v)
    {
        inOrder.push_back(v);
        return *this;
    }
    // A copy of text (a null text stays a null string).
    DispatchArgs& Text(const wchar_t* text)
    {
        strings.emplace_back(text ? SysAllocString(text) : nullptr);
        VARIANT v = TypedVariant(VT_BSTR);
        v.bstrVal = strings.back().Get();
        return Add(v);
    }
    DispatchArgs& Dispatch(IDispatch* d)
    {
        VARIANT v = TypedVariant(VT_DISPATCH);
        v.pdispVal = d;
        return Add(v);
    }
    // A VARIANT passed by reference, as the control passes URLs and status codes.
    DispatchArgs& RefVariant(VARIANT* inner)
    {
        VARIANT v = TypedVariant(VT_BYREF | VT_VARIANT);
        v.pvarVal = inner;
        return Add(v);
    }
    DispatchArgs& RefBool(VARIANT_BOOL* b)
    {
        VARIANT v = TypedVariant(VT_BYREF | VT_BOOL);
        v.pboolVal = b;
        return Add(v);
    }
    DispatchArgs& RefDispatch(IDispatch** slot)
    {
        VARIANT v = TypedVariant(VT_BYREF | VT_DISPATCH);
        v.ppdispVal = slot;
        return Add(v);
    }
    DispatchArgs& Plain(VARTYPE type, LONG value = 0)
    {
        VARIANT v = TypedVariant(type);
        v.lVal = value;
        return Add(v);
    }
    DISPPARAMS* Params()
    {
        reversed.assign(inOrder.rbegin(), inOrder.rend());
        params.rgvarg = reversed.empty() ? nullptr : reversed.data();
        params.cArgs = static_cast<UINT>(reversed.size());
        return &params;
    }

private:
    std::vector<UniqueBstr> strings;
    std::vector<VARIANT> inOrder, reversed;
    DISPPARAMS params = {};
};
