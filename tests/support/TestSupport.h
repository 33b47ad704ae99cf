#pragma once
#include <windows.h>
#include <functional>

namespace testing_support {

// GDI objects of this process. GetGuiResources answers 0 under Wine, so when it does the
// handle table is probed: every 16-bit handle index that GetObjectType recognises.
int GdiObjectCount();
// Bytes of memory committed to this process alone (its private bytes).
size_t PrivateBytes();

// Pumps this thread's messages until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
// Pumps whatever is queued now (and what that produces) for up to ms milliseconds.
void PumpFor(DWORD ms);
// Waits (without pumping) until pred() holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);

// Reads one pixel of a DIB rendering as 0xAARRGGBB.
struct Bitmap32 {
    int width = 0, height = 0;
    unsigned* bits = nullptr;  // top-down rows
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    Bitmap32(int w, int h);
    ~Bitmap32();
    Bitmap32(const Bitmap32&) = delete;
    Bitmap32& operator=(const Bitmap32&) = delete;
    unsigned At(int x, int y) const { return bits[y * width + x]; }
    void Fill(unsigned argb);
};

// Renders a window's client area (WM_PRINTCLIENT / PrintWindow) into a new bitmap.
void CaptureWindow(HWND hwnd, Bitmap32& into);

// Colour channels compared with a tolerance (GDI+ rounding).
bool ColorNear(unsigned a, unsigned b, int tolerance = 2);

}  // namespace testing_support
