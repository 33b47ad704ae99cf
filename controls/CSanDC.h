#pragma once
#include <windows.h>

// Off-screen surface for one paint of an ordinary window: drawn in client coordinates on
// memoryDC, and only copyRect is copied to the target when the surface ends.
class CSanDC {
public:
    // A bitmap of the window's whole client size (width x height).
    CSanDC(HDC target, int width, int height, const RECT& copyRect);
    // A bitmap of just copyRect's size: its pixel (0, 0) is the client point origin
    // (copyRect's top-left), so drawing in client coordinates is shifted by -origin.
    CSanDC(HDC target, const RECT& copyRect);
    CSanDC(const CSanDC&) = delete;
    CSanDC& operator=(const CSanDC&) = delete;
    virtual ~CSanDC();

    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    RECT copyRect = {};
    HDC memoryDC = nullptr;
    HDC targetDC = nullptr;  // borrowed from the caller (BeginPaint)
    POINT origin = {};       // client point at the bitmap's pixel (0, 0)

private:
    void Make(int width, int height);
};
