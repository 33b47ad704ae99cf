#include "PngResource.h"
#include "ComPtr.h"
#include "PngDecoder.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Pixels decoded in place for the bitmap that owns them: a base of OwnPixelsBitmap, so that they
// are there before the bitmap over them is made and go only after it.
struct DecodedPixels {
    explicit DecodedPixels(const PngDecoder& png)
        : pixels(new (std::nothrow) uint8_t[png.BufferSize()]), decoded(pixels && png.Decode(pixels.get()))
    {
    }
    std::unique_ptr<uint8_t[]> pixels;
    bool decoded;
};

// A GDI+ bitmap over the pixels a PNG was decoded into: no other copy of them is ever made, and
// they go with the bitmap.
class OwnPixelsBitmap : private DecodedPixels, public Gdiplus::Bitmap {
public:
    // Without decoded pixels the bitmap is empty (an error status), not one of GDI+'s own memory.
    explicit OwnPixelsBitmap(const PngDecoder& png)
        : DecodedPixels(png),
          Gdiplus::Bitmap(decoded ? png.Width() : 0, decoded ? png.Height() : 0, png.Width() * 4,
                          PixelFormat32bppARGB, pixels.get())
    {
    }
    bool Decoded() const { return decoded && GetLastStatus() == Gdiplus::Ok; }
};

// Pictures of the kind this program carries, read by its own decoder; null for any other kind,
// or damaged data, which GDI+ then reads its own way.
GdipPtr<Gdiplus::Image> DecodeOwnKind(const void* bytes, size_t size)
{
    PngDecoder png;
    if (!png.Open(bytes, size)) return {};
    auto* bitmap = new OwnPixelsBitmap(png);
    GdipPtr<Gdiplus::Image> image(bitmap);
    if (!bitmap->Decoded()) image.Reset();
    return image;
}

GdipPtr<Gdiplus::Image> DecodeWithGdiplus(const void* bytes, DWORD size)
{
    GdipPtr<Gdiplus::Image> image;
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
    // The decoded pixels are copied into a bitmap of their own, and the image read from the
    // stream goes: GDI+ keeps its decoder, the decoder's own copy of the pixels and the stream
    // for as long as that image lives. Copying the pixels also makes a GDI+ that decodes at the
    // first drawing decode here. (GetLastStatus would clear a failed decode's status; GetType of
    // a failed image leaves an error status in place.)
    if (image->GetType() != Gdiplus::ImageTypeBitmap) return image;
    auto& decoded = static_cast<Gdiplus::Bitmap&>(*image);
    const Gdiplus::PixelFormat format = decoded.GetPixelFormat();
    const INT width = static_cast<INT>(decoded.GetWidth()), height = static_cast<INT>(decoded.GetHeight());
    if (format != PixelFormat32bppARGB && format != PixelFormat32bppPARGB && format != PixelFormat32bppRGB) {
        Gdiplus::Color first;
        decoded.GetPixel(0, 0, &first);
        return image;
    }
    GdipPtr<Gdiplus::Image> own(new Gdiplus::Bitmap(width, height, format));
    auto& copy = static_cast<Gdiplus::Bitmap&>(*own);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData target = {};
    if (copy.GetLastStatus() != Gdiplus::Ok ||
        copy.LockBits(&all, Gdiplus::ImageLockModeWrite, format, &target) != Gdiplus::Ok) {
        return image;
    }
    Gdiplus::BitmapData source = target;  // read straight into the copy's pixels
    const Gdiplus::Status read = decoded.LockBits(
        &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, format, &source);
    if (read == Gdiplus::Ok) decoded.UnlockBits(&source);
    copy.UnlockBits(&target);
    if (read != Gdiplus::Ok) return image;
    copy.SetResolution(decoded.GetHorizontalResolution(), decoded.GetVerticalResolution());
    return own;
}

}  // namespace

GdipPtr<Gdiplus::Image> LoadPngResource(int id)
{
    if (id == 0) return {};
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    return DecodePng(bytes, size);
}

GdipPtr<Gdiplus::Image> DecodePng(const void* bytes, size_t size)
{
    if (!bytes || size == 0 || size > MAXDWORD) return {};
    if (GdipPtr<Gdiplus::Image> own = DecodeOwnKind(bytes, size)) return own;
    return DecodeWithGdiplus(bytes, static_cast<DWORD>(size));
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
