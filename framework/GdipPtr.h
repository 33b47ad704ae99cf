#pragma once
#include <atomic>
#include <memory>
#include <utility>

// Live GDI+ objects held by GdipPtr of any type.
inline std::atomic<long>& GdipLiveObjects()
{
    static std::atomic<long> count{0};
    return count;
}

// Sole owner of one GDI+ object (image, bitmap, brush, pen, font, string format, path).
// Counts the objects alive in all holders, so tests can see that nothing is left behind.
template <typename T>
class GdipPtr {
public:
    GdipPtr() = default;
    explicit GdipPtr(T* p) { Reset(p); }
    GdipPtr(const GdipPtr&) = delete;
    GdipPtr& operator=(const GdipPtr&) = delete;
    GdipPtr(GdipPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    GdipPtr& operator=(GdipPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~GdipPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset(T* p = nullptr)
    {
        if (p == p_) return;
        if (p_) {
            delete p_;
            LiveCount().fetch_sub(1);
        }
        p_ = p;
        if (p_) LiveCount().fetch_add(1);
    }
    // Hands the object to a new owner outside any holder.
    T* Release()
    {
        if (p_) LiveCount().fetch_sub(1);
        return std::exchange(p_, nullptr);
    }

    static std::atomic<long>& LiveCount() { return GdipLiveObjects(); }

private:
    T* p_ = nullptr;
};

