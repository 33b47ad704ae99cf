#include "PngResource.h"
#include "ComPtr.h"
#include "GdipPtr.h"

#include <cstring>

Gdiplus::Image* LoadPngResource(int id)
{
    if (id == 0) return nullptr;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0) return nullptr;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    void* dest = GlobalLock(block);
    if (!dest) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(dest, bytes, size);
    GlobalUnlock(block);

    // The stream owns the block from here on; the image keeps its own reference to the stream,
    // so the data lives exactly as long as the image.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.Put()))) {
        GlobalFree(block);
        return nullptr;
    }
    auto* image = new Gdiplus::Image(stream.Get(), TRUE);
    FreeResource(loaded);
    return image;
}

Gdiplus::Bitmap* CropImage(Gdiplus::Image& strip, int x, int width, int height)
{
    auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
    GdipPtr<Gdiplus::TextureBrush> brush(
        new Gdiplus::TextureBrush(&strip, Gdiplus::Rect(x, 0, width, height)));
    {
        Gdiplus::Graphics g(bitmap);
        g.FillRectangle(brush.Get(), 0, 0, width, height);
    }
    return bitmap;
}
