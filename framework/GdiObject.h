#pragma once
#include <windows.h>
#include <utility>

// Sole owner of one GDI object (brush, pen, font, bitmap, region); deletes it when replaced or
// destroyed. A GDI object must not be selected into a DC when its holder lets it go.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T handle) : handle_(handle) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~GdiObject() { Reset(); }

    T Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(T handle = nullptr)
    {
        if (handle_ && handle_ != handle) DeleteObject(handle_);
        handle_ = handle;
    }
    // Gives up ownership (for example of a region handed to SetWindowRgn, which the system owns).
    T Release() { return std::exchange(handle_, nullptr); }

private:
    T handle_ = nullptr;
};
