#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                            BLENDFUNCTION*, DWORD);

// The 32-bit per-pixel-alpha picture of a layered window's whole client area: draw on
// Graphics(), then Push() hands it to UpdateLayeredWindow. Untouched pixels stay fully
// transparent. A surface kept by its window is fitted again before each render: while the client
// size stays the same it keeps its bitmap and pixels, so a render may redraw only what changed.
class CLayeredSurface {
public:
    CLayeredSurface() = default;
    // A fresh surface of the window's client size.
    explicit CLayeredSurface(HWND hwnd) { Fit(hwnd); }
    CLayeredSurface(const CLayeredSurface&) = delete;
    CLayeredSurface& operator=(const CLayeredSurface&) = delete;
    ~CLayeredSurface() { Reset(); }

    // Makes the surface the window's client size. Returns true when it was made anew (every
    // pixel transparent), false when the existing one already had that size (pixels kept).
    bool Fit(HWND hwnd);
    // Makes area (client coordinates, cut to the surface) fully transparent again.
    void Clear(const RECT& area);
    // Lets go of the bitmap and the device context.
    void Reset();

    // Null when the surface could not be made (for example a 0 x 0 client area).
    Gdiplus::Graphics* Graphics() const { return graphics.Get(); }
    HDC DC() const { return memoryDC.Get(); }
    // Bottom-up rows of premultiplied BGRA, width * height values; null without a bitmap.
    const unsigned* Bits() const { return static_cast<const unsigned*>(bits); }
    unsigned* Pixels() { return static_cast<unsigned*>(bits); }
    // Blends rows of straight (or, with straight false, premultiplied) ARGB, the first at first
    // and stride bytes apart, over the part r of the surface (r lies inside it): source over
    // destination, rounded as GDI+ and AlphaBlend round.
    void BlendRows(const RECT& r, const BYTE* first, ptrdiff_t stride, bool straight);
    // Draws a picture that is a bitmap of exactly place's size at place, within area, straight
    // from its decoded pixels: what GDI+ draws at 1:1, without its per-pixel conversions. False,
    // with nothing done, when the picture is no such bitmap or its pixels cannot be read.
    bool BlendPicture(Gdiplus::Image& picture, const RECT& place, const RECT& area);

    // Puts the surface on the screen at the window's position with a constant alpha; false when
    // there is nothing to push or the call fails.
    bool Push(UpdateLayeredWindowFn update, HWND hwnd, BYTE alpha) const;

    int width = 0;
    int height = 0;

private:
    // Let go in reverse order: the graphics, then the bitmap's selection, the bitmap, the DC.
    MemoryDC memoryDC;
    UniqueBitmap bitmap;
    ScopedSelect selection;
    void* bits = nullptr;
    GdipPtr<Gdiplus::Graphics> graphics;
};

// UpdateLayeredWindow taken from "user32.dll" by name; null when it is not there.
UpdateLayeredWindowFn LookUpUpdateLayeredWindow();
