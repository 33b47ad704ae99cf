#include "CLayeredSurface.h"
#include "SkinDrawing.h"
#include "UniqueHandle.h"

#include <cstring>

void CLayeredSurface::Reset()
{
    graphics.Reset();
    selection.Reset();
    bitmap.Reset();
    memoryDC.Reset();
    bits = nullptr;
    width = 0;
    height = 0;
}

bool CLayeredSurface::Fit(HWND hwnd)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (bitmap && graphics && w == width && h == height) return false;
    Reset();
    width = w;
    height = h;
    {
        WindowDC windowDC = GetWindowDc(hwnd);
        if (!windowDC) return true;
        memoryDC.Reset(CreateCompatibleDC(windowDC.Get()));
    }
    if (!memoryDC || width <= 0 || height <= 0) return true;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        bits = nullptr;
        return true;
    }
    selection = SelectInto(memoryDC.Get(), bitmap.Get());
    graphics.Reset(new Gdiplus::Graphics(memoryDC.Get()));
    PrepareSkinGraphics(*graphics, memoryDC.Get());
    return true;
}

void CLayeredSurface::Clear(const RECT& area)
{
    if (!bits) return;
    const RECT whole = {0, 0, width, height};
    RECT r;
    if (!IntersectRect(&r, &area, &whole)) return;
    GdiFlush();
    auto* pixels = static_cast<unsigned*>(bits);
    for (int y = r.top; y < r.bottom; ++y) {
        // Bottom-up rows.
        std::memset(pixels + static_cast<size_t>(height - 1 - y) * width + r.left, 0,
                    static_cast<size_t>(r.right - r.left) * 4);
    }
}

bool CLayeredSurface::Push(UpdateLayeredWindowFn update, HWND hwnd, BYTE alpha) const
{
    if (!update || !bitmap) return false;
    if (graphics) graphics->Flush(Gdiplus::FlushIntentionSync);
    GdiFlush();
    RECT window = {};
    GetWindowRect(hwnd, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    WindowDC screen = GetWindowDc(nullptr);
    return update(hwnd, screen.Get(), &destination, &size, memoryDC.Get(), &source, 0, &blend,
                  ULW_ALPHA) != FALSE;
}

UpdateLayeredWindowFn LookUpUpdateLayeredWindow()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<UpdateLayeredWindowFn>(GetProcAddress(user32, "UpdateLayeredWindow"));
}
