#pragma once
#include <windows.h>
#include <oleauto.h>

#include <utility>

// Owns one BSTR and frees it with SysFreeString.
class BstrHolder {
public:
    BstrHolder() = default;
    explicit BstrHolder(const wchar_t* text) : s_(text ? SysAllocString(text) : nullptr) {}
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;
    ~BstrHolder() { SysFreeString(s_); }

    BSTR Get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }
    // Address for an out-parameter; frees what was held first.
    BSTR* Put()
    {
        SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }

private:
    BSTR s_ = nullptr;
};
