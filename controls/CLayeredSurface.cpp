#include "CLayeredSurface.h"
#include "UniqueHandle.h"

CLayeredSurface::CLayeredSurface(HWND hwnd)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
    {
        WindowDC windowDC = GetWindowDc(hwnd);
        if (!windowDC) return;
        memoryDC.Reset(CreateCompatibleDC(windowDC.Get()));
    }
    if (!memoryDC) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (width > 0 && height > 0) {
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!bitmap) {
        bits = nullptr;
        return;
    }
    selection = SelectInto(memoryDC.Get(), bitmap.Get());
    SetBkMode(memoryDC.Get(), TRANSPARENT);
    graphics.Reset(new Gdiplus::Graphics(memoryDC.Get()));
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
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
