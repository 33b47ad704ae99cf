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

namespace {
// Premultiplied source over destination, per channel d = s + d * (255 - sa) / 255, rounded.
inline UINT32 Over(UINT32 s, UINT32 d)
{
    const UINT32 a = s >> 24;
    if (a == 255 || d == 0) return s;
    if (s == 0) return d;
    const UINT32 keep = 255 - a;
    UINT32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const UINT32 c = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * keep + 127) / 255;
        out |= (c > 255 ? 255 : c) << shift;
    }
    return out;
}

// Straight ARGB to premultiplied, rounded as GDI+ converts it.
inline UINT32 Premultiplied(UINT32 c)
{
    const UINT32 a = c >> 24;
    if (a == 255) return c;
    if (a == 0) return 0;
    UINT32 out = a << 24;
    for (int shift = 0; shift < 24; shift += 8) out |= ((((c >> shift) & 0xFF) * a + 127) / 255) << shift;
    return out;
}
}  // namespace

void CLayeredSurface::BlendRows(const RECT& r, const BYTE* first, ptrdiff_t stride, bool straight)
{
    if (!bits) return;
    GdiFlush();  // what GDI+ drew before lies in the pixels
    auto* pixels = static_cast<unsigned*>(bits);
    for (int y = r.top; y < r.bottom; ++y) {
        const auto* from = reinterpret_cast<const UINT32*>(first + (y - r.top) * stride);
        unsigned* to = pixels + static_cast<size_t>(height - 1 - y) * width + r.left;
        for (int x = 0; x < r.right - r.left; ++x) to[x] = Over(straight ? Premultiplied(from[x]) : from[x], to[x]);
    }
}

bool CLayeredSurface::BlendPicture(Gdiplus::Image& picture, const RECT& place, const RECT& area)
{
    if (!bits || picture.GetType() != Gdiplus::ImageTypeBitmap ||
        picture.GetWidth() != static_cast<UINT>(place.right - place.left) ||
        picture.GetHeight() != static_cast<UINT>(place.bottom - place.top)) {
        return false;
    }
    const RECT whole = {0, 0, width, height};
    RECT r;
    if (!IntersectRect(&r, &place, &area) || !IntersectRect(&r, &r, &whole)) return true;
    // Read where the pixels lie (no copy when they are already 32-bit ARGB).
    auto& bitmap = static_cast<Gdiplus::Bitmap&>(picture);
    Gdiplus::Rect part(r.left - place.left, r.top - place.top, r.right - r.left, r.bottom - r.top);
    Gdiplus::BitmapData data = {};
    if (bitmap.LockBits(&part, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
        return false;
    }
    BlendRows(r, static_cast<const BYTE*>(data.Scan0), data.Stride, true);
    bitmap.UnlockBits(&data);
    return true;
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
