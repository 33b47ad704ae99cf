#pragma once
#include <windows.h>

// Off-screen surface for one paint of an ordinary window: drawn in client coordinates on
// memoryDC, and only copyRect is copied to the target when the surface ends.
class CSanDC {
public:
    // A bitmap of the window's whole client size (width x height).
    CSanDC(HDC target, int width, int height, const RECT& copyRect);
    // A bitmap of just copyRect's size, still drawn in client coordinates: the memory DC's
    // viewport origin puts copyRect's top-left corner on the bitmap's pixel (0, 0).
    CSanDC(HDC target, const RECT& copyRect);
    CSanDC(const CSanDC&) = delete;
    CSanDC& operator=(const CSanDC&) = delete;
    virtual ~CSanDC();

    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    RECT copyRect = {};
    HDC memoryDC = nullptr;
    HDC targetDC = nullptr;  // borrowed from the caller (BeginPaint)

private:
    void Make(int width, int height);
};
