#pragma once
// The one owning holder of the program: every GDI, GDI+, COM-automation and kernel resource lives
// in a UniqueHandle and is released by it, nowhere else. Header-only, so the uninstaller can use it
// without linking any of the client's code.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <type_traits>
#include <utility>

// Traits say what is held and how it is let go:
//   using Type = ...;                   the handle type (a handle, a pointer or a VARIANT)
//   static Type Invalid();              the value that holds nothing
//   static bool IsValid(const Type&);   whether a value holds something
//   void Close(Type&);                  releases it (may use state kept in the traits object)
//   static void Count(long delta);      +1 when a handle is adopted, -1 when it is let go
// A traits object may carry what its release needs (the window a DC was borrowed from, the DC a
// selection is undone in); it is kept beside the handle and moves with it.
template <typename Traits>
class UniqueHandle : private Traits {
public:
    using Type = typename Traits::Type;

    UniqueHandle() : held(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle, Traits traits = Traits())
        : Traits(std::move(traits)), held(handle)
    {
        if (Traits::IsValid(held)) Traits::Count(+1);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : Traits(std::move(other.GetTraits())), held(std::exchange(other.held, Traits::Invalid()))
    {
    }
    // Takes over from a holder of a derived class's pointer (a GDI+ bitmap into an image holder).
    template <typename Other,
              typename = std::enable_if_t<
                  !std::is_same<Other, Traits>::value &&
                  std::is_class<std::remove_pointer_t<typename Other::Type>>::value &&
                  std::is_base_of<std::remove_pointer_t<Type>,
                                  std::remove_pointer_t<typename Other::Type>>::value>>
    UniqueHandle(UniqueHandle<Other>&& other) noexcept : held(other.Detach())
    {
        if (Traits::IsValid(held)) Traits::Count(+1);
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            GetTraits() = std::move(other.GetTraits());
            held = std::exchange(other.held, Traits::Invalid());
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    const Type& Get() const { return held; }
    Type& Get() { return held; }
    explicit operator bool() const { return Traits::IsValid(held); }

    // Pointer-like access for holders of GDI+ objects and other pointers.
    template <typename T = Type, typename = std::enable_if_t<std::is_pointer<T>::value>>
    T operator->() const
    {
        return held;
    }
    template <typename T = Type, typename = std::enable_if_t<std::is_pointer<T>::value>>
    std::remove_pointer_t<T>& operator*() const
    {
        return *held;
    }

    // Releases what is held and takes the new handle (which may be the invalid value).
    void Reset(Type handle = Traits::Invalid())
    {
        if (Traits::IsValid(held) && !Same(held, handle)) {
            Traits::Close(held);
            Traits::Count(-1);
        }
        const bool adopting = Traits::IsValid(handle) && !Same(held, handle);
        held = handle;
        if (adopting) Traits::Count(+1);
    }
    // Address for an out-parameter; releases what was held first. The handle the call writes is
    // owned from then on.
    Type* Put()
    {
        Reset();
        return &held;
    }
    // Gives up ownership without releasing: the caller (or the system) owns the handle now.
    Type Detach()
    {
        if (Traits::IsValid(held)) Traits::Count(-1);
        return std::exchange(held, Traits::Invalid());
    }

    Traits& GetTraits() { return *this; }
    const Traits& GetTraits() const { return *this; }

private:
    static bool Same(const Type& a, const Type& b)
    {
        if constexpr (std::is_scalar<Type>::value)
            return a == b;
        else
            return false;
    }

    Type held;
};

// Traits of handles whose invalid value is null and whose release is one stateless call.
template <typename T, auto CloseFn>
struct NullHandleTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(const Type& h) { return h != nullptr; }
    static void Close(Type& h) { CloseFn(h); }
    static void Count(long) {}
};

namespace handle_detail {
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void DestroyIconHandle(HICON icon) { DestroyIcon(icon); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void UnloadModule(HMODULE m) { FreeLibrary(m); }
inline void CloseRegistryKey(HKEY key) { RegCloseKey(key); }
inline void FreeBstr(BSTR s) { SysFreeString(s); }
inline void DestroySafeArray(SAFEARRAY* a) { SafeArrayDestroy(a); }
inline void FreeGlobal(HGLOBAL g) { GlobalFree(g); }
}  // namespace handle_detail

// A GDI object (brush, pen, font, bitmap, region). It must not be selected into a DC when let go.
template <typename T>
using GdiObject = UniqueHandle<NullHandleTraits<T, handle_detail::DeleteGdiObject>>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniqueFont = GdiObject<HFONT>;
using UniquePen = GdiObject<HPEN>;
using UniqueRegion = GdiObject<HRGN>;

using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, handle_detail::DestroyIconHandle>>;
// A memory DC from CreateCompatibleDC, deleted.
using MemoryDC = UniqueHandle<NullHandleTraits<HDC, handle_detail::DeleteMemoryDc>>;
using UniqueRegKey = UniqueHandle<NullHandleTraits<HKEY, handle_detail::CloseRegistryKey>>;
using UniqueBstr = UniqueHandle<NullHandleTraits<BSTR, handle_detail::FreeBstr>>;
using UniqueSafeArray = UniqueHandle<NullHandleTraits<SAFEARRAY*, handle_detail::DestroySafeArray>>;
using UniqueGlobal = UniqueHandle<NullHandleTraits<HGLOBAL, handle_detail::FreeGlobal>>;
// A kernel handle whose failure value is null (mutex, thread, event, process, token).
using UniqueKernelHandle = UniqueHandle<NullHandleTraits<HANDLE, handle_detail::CloseKernelHandle>>;
// A library loaded with LoadLibrary, freed.
using UniqueModule = UniqueHandle<NullHandleTraits<HMODULE, handle_detail::UnloadModule>>;

// Traits of handles whose failure value is INVALID_HANDLE_VALUE (null is never held either).
template <auto CloseFn>
struct InvalidValueHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(const Type& h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type& h) { CloseFn(h); }
    static void Count(long) {}
};
namespace handle_detail {
inline void CloseSearch(HANDLE h) { FindClose(h); }
}  // namespace handle_detail

// A file opened with CreateFile.
using UniqueFileHandle = UniqueHandle<InvalidValueHandleTraits<handle_detail::CloseKernelHandle>>;
// A FindFirstFile search.
using UniqueFindHandle = UniqueHandle<InvalidValueHandleTraits<handle_detail::CloseSearch>>;

// A DC borrowed with GetDC (null window: the screen), given back with ReleaseDC.
struct WindowDcTraits {
    using Type = HDC;
    HWND window = nullptr;
    static Type Invalid() { return nullptr; }
    static bool IsValid(const Type& h) { return h != nullptr; }
    void Close(Type& dc) { ReleaseDC(window, dc); }
    static void Count(long) {}
};
using WindowDC = UniqueHandle<WindowDcTraits>;
inline WindowDC GetWindowDc(HWND window) { return WindowDC(GetDC(window), WindowDcTraits{window}); }

// An object selected into a DC; the previous one is selected back when the holder goes.
struct SelectionTraits {
    using Type = HGDIOBJ;  // the object that was selected before
    HDC dc = nullptr;
    static Type Invalid() { return nullptr; }
    static bool IsValid(const Type& h) { return h != nullptr && h != HGDI_ERROR; }
    void Close(Type& previous) { SelectObject(dc, previous); }
    static void Count(long) {}
};
using ScopedSelect = UniqueHandle<SelectionTraits>;
inline ScopedSelect SelectInto(HDC dc, HGDIOBJ object)
{
    return ScopedSelect(dc && object ? SelectObject(dc, object) : nullptr, SelectionTraits{dc});
}

// A VARIANT, cleared (its string freed, its object released) when replaced or let go.
struct VariantTraits {
    using Type = VARIANT;
    static Type Invalid()
    {
        VARIANT v;
        VariantInit(&v);
        return v;
    }
    static bool IsValid(const Type& v) { return v.vt != VT_EMPTY; }
    static void Close(Type& v) { VariantClear(&v); }
    static void Count(long) {}
};
using UniqueVariant = UniqueHandle<VariantTraits>;

// Live GDI+ objects held in GdipPtr of any type, so leak tests can see that nothing is left
// behind (the system's own counters answer 0 under Wine).
inline std::atomic<long>& GdipLiveObjects()
{
    static std::atomic<long> count{0};
    return count;
}
template <typename T>
struct GdipTraits {
    using Type = T*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(const Type& p) { return p != nullptr; }
    static void Close(Type& p) { delete p; }
    static void Count(long delta) { GdipLiveObjects().fetch_add(delta); }
};
// A GDI+ object (image, bitmap, brush, pen, font, string format, path).
template <typename T>
using GdipPtr = UniqueHandle<GdipTraits<T>>;
