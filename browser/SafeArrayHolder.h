#pragma once
#include <windows.h>
#include <oleauto.h>

#include <utility>

// Owns one SAFEARRAY and destroys it (and the elements it holds) with SafeArrayDestroy.
class SafeArrayHolder {
public:
    explicit SafeArrayHolder(SAFEARRAY* array) : a_(array) {}
    SafeArrayHolder(const SafeArrayHolder&) = delete;
    SafeArrayHolder& operator=(const SafeArrayHolder&) = delete;
    ~SafeArrayHolder()
    {
        if (a_) SafeArrayDestroy(a_);
    }
    SAFEARRAY* Get() const { return a_; }

private:
    SAFEARRAY* a_ = nullptr;
};
