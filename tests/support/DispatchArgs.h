#pragma once
// Arguments of an IDispatch call, given in the callee's own parameter order; Params() hands them
// out last-first, as the browser control and script engines do. Strings given as text are copied
// and owned here (which makes the object move-only); everything else is borrowed from the caller.
#include <windows.h>
#include <oleauto.h>

#include <deque>
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
    DispatchArgs& Text(const wchar_t* text) { return Add(OwnedText(text)); }
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
    // The same for a copy of text, or a plain value, held here.
    DispatchArgs& RefText(const wchar_t* text) { return RefVariant(&held.emplace_back(OwnedText(text))); }
    DispatchArgs& RefPlain(VARTYPE type, LONG value = 0)
    {
        return RefVariant(&held.emplace_back(PlainValue(type, value)));
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
    DispatchArgs& Plain(VARTYPE type, LONG value = 0) { return Add(PlainValue(type, value)); }
    DISPPARAMS* Params()
    {
        reversed.assign(inOrder.rbegin(), inOrder.rend());
        params.rgvarg = reversed.empty() ? nullptr : reversed.data();
        params.cArgs = static_cast<UINT>(reversed.size());
        return &params;
    }
    // target's Invoke of id with these arguments, as a caller outside the object makes it.
    HRESULT Invoke(IDispatch* target, DISPID id, VARIANT* result = nullptr, WORD flags = DISPATCH_METHOD)
    {
        return target->Invoke(id, IID_NULL, 0, flags, Params(), result, nullptr, nullptr);
    }

private:
    static VARIANT PlainValue(VARTYPE type, LONG value)
    {
        VARIANT v = TypedVariant(type);
        v.lVal = value;
        return v;
    }
    VARIANT OwnedText(const wchar_t* text)
    {
        strings.emplace_back(text ? SysAllocString(text) : nullptr);
        VARIANT v = TypedVariant(VT_BSTR);
        v.bstrVal = strings.back().Get();
        return v;
    }

    std::vector<UniqueBstr> strings;
    std::deque<VARIANT> held;  // values passed by reference: a deque keeps their places
    std::vector<VARIANT> inOrder, reversed;
    DISPPARAMS params = {};
};
