#include "PngResource.h"
#include "ComPtr.h"
#include "PicturePreload.h"

#include <cstring>

GdipPtr<Gdiplus::Image> LoadPngResource(int id)
{
    if (id == 0) return {};
    if (GdipPtr<Gdiplus::Image> preloaded = PicturePreload::Take(id)) return preloaded;
    return DecodePngResource(id);
}

GdipPtr<Gdiplus::Image> DecodePngResource(int id)
{
    GdipPtr<Gdiplus::Image> image;
    if (id == 0) return image;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!found) return image;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return image;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0) return image;

    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) return image;
    void* dest = GlobalLock(block.Get());
    if (!dest) return image;
    std::memcpy(dest, bytes, size);
    GlobalUnlock(block.Get());

    // The stream owns the block from here on; the image keeps its own reference to the stream,
    // so the data lives exactly as long as the image.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) return image;
    block.Detach();
    image.Reset(new Gdiplus::Image(stream.Get(), TRUE));
    FreeResource(loaded);
    // Some GDI+ versions only read the header here; reading one pixel makes them decode now, on
    // this thread, instead of at the first drawing. (GetLastStatus would clear a failed decode's
    // status; GetType of a failed image leaves an error status in place.)
    if (image->GetType() == Gdiplus::ImageTypeBitmap) {
        Gdiplus::Color first;
        static_cast<Gdiplus::Bitmap*>(image.Get())->GetPixel(0, 0, &first);
    }
    return image;
}

GdipPtr<Gdiplus::Bitmap> CropImage(Gdiplus::Image& strip, int x, int width, int height)
{
    GdipPtr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    GdipPtr<Gdiplus::TextureBrush> brush(
        new Gdiplus::TextureBrush(&strip, Gdiplus::Rect(x, 0, width, height)));
    {
        Gdiplus::Graphics g(bitmap.Get());
        g.FillRectangle(brush.Get(), 0, 0, width, height);
    }
    return bitmap;
}
