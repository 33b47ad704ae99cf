#pragma once
#include <windows.h>

// Off-screen surface for one paint of an ordinary window: drawn in client coordinates on
// memoryDC, and only copyRect is copied to the target when the surface ends.
class CSanDC {
public:
    CSanDC(HDC target, int width, int height, const RECT& copyRect);
    CSanDC(const CSanDC&) = delete;
    CSanDC& operator=(const CSanDC&) = delete;
    virtual ~CSanDC();

    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    RECT copyRect = {};
    HDC memoryDC = nullptr;
    HDC targetDC = nullptr;  // borrowed from the caller (BeginPaint)
};
