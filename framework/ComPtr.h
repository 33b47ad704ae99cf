#pragma once
#include <unknwn.h>

#include "UniqueHandle.h"

// One COM reference, given back with the interface's own Release.
template <typename T>
struct ComTraits {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(const Type& p) { return p != nullptr; }
    static void Close(Type& p) { p->Release(); }
    static void Count(long) {}
};

// The COM smart pointer: a UniqueHandle of one reference that also copies, taking a reference
// of its own with AddRef.
template <typename T>
class ComPtr : public UniqueHandle<ComTraits<T>> {
    using Base = UniqueHandle<ComTraits<T>>;

public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adopts a reference the caller already owns.
    static ComPtr Attach(T* p)
    {
        ComPtr c;
        c.Reset(p);
        return c;
    }
    ComPtr(const ComPtr& other) : Base(other.Get())
    {
        if (other.Get()) other.Get()->AddRef();
    }
    ComPtr(ComPtr&&) noexcept = default;
    ComPtr& operator=(const ComPtr& other)
    {
        if (Get() != other.Get()) {
            if (other.Get()) other.Get()->AddRef();
            this->Reset(other.Get());
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&&) noexcept = default;

    T* Get() const { return Base::Get(); }
    void** PutVoid() { return reinterpret_cast<void**>(this->Put()); }

    template <typename U>
    ComPtr<U> As(REFIID iid) const
    {
        ComPtr<U> out;
        if (Get()) Get()->QueryInterface(iid, out.PutVoid());
        return out;
    }
};
