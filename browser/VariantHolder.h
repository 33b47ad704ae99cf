#pragma once
#include <windows.h>
#include <oleauto.h>

// Owns one VARIANT and clears it (freeing its string, releasing its object) when replaced or
// destroyed.
class VariantHolder {
public:
    VariantHolder() { VariantInit(&v_); }
    VariantHolder(const VariantHolder&) = delete;
    VariantHolder& operator=(const VariantHolder&) = delete;
    ~VariantHolder() { VariantClear(&v_); }

    VARIANT& Get() { return v_; }
    const VARIANT& Get() const { return v_; }
    // Address for an out-parameter; clears what was held first.
    VARIANT* Put()
    {
        VariantClear(&v_);
        return &v_;
    }
    // Takes ownership of a string (null when allocation failed).
    bool SetString(const wchar_t* text)
    {
        VariantClear(&v_);
        v_.vt = VT_BSTR;
        v_.bstrVal = SysAllocString(text);
        if (!v_.bstrVal) v_.vt = VT_EMPTY;
        return v_.vt == VT_BSTR;
    }

private:
    VARIANT v_;
};
