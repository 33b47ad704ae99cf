#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                            BLENDFUNCTION*, DWORD);

// The 32-bit per-pixel-alpha picture of a layered window's whole client area, made for one
// update: draw on Graphics(), then Push() hands it to UpdateLayeredWindow. Untouched pixels stay
// fully transparent.
class CLayeredSurface {
public:
    explicit CLayeredSurface(HWND hwnd);
    CLayeredSurface(const CLayeredSurface&) = delete;
    CLayeredSurface& operator=(const CLayeredSurface&) = delete;

    // Null when the surface could not be made (for example a 0 x 0 client area).
    Gdiplus::Graphics* Graphics() const { return graphics.Get(); }
    HDC DC() const { return memoryDC.Get(); }
    // Bottom-up rows of premultiplied BGRA, width * height values; null without a bitmap.
    const unsigned* Bits() const { return static_cast<const unsigned*>(bits); }
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
