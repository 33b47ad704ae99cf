#include "TestSupport.h"

#include <psapi.h>

#include <cstdlib>

namespace testing_support {

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return 0;
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same commit charge on Windows.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

int GdiObjectCount()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n) return static_cast<int>(n);
    int count = 0;
    for (ULONG_PTR i = 1; i < 0x10000; ++i) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++count;
    }
    return count;
}

static void PumpQueued()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpQueued();
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        PumpQueued();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    PumpQueued();
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs) return pred();
        Sleep(5);
    }
    return true;
}

Bitmap32::Bitmap32(int w, int h) : width(w), height(h)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<unsigned*>(p);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bitmap);
}

Bitmap32::~Bitmap32()
{
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

void Bitmap32::Fill(unsigned argb)
{
    for (int i = 0; i < width * height; ++i) bits[i] = argb;
}

void CaptureWindow(HWND hwnd, Bitmap32& into)
{
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(into.dc),
                 PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    GdiFlush();
}

bool ColorNear(unsigned a, unsigned b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance) return false;
    }
    return true;
}

}  // namespace testing_support
