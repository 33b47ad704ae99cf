#include "CImageStatic.h"
#include "CImageButton.h"
#include "BoundedText.h"
#include "CLayeredSurface.h"
#include "SkinDrawing.h"

#include <cwchar>
#include <utility>

CImageStatic::CImageStatic()
{
    textBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFF000000)));
}

CImageStatic::~CImageStatic() = default;

void CImageStatic::SetImage(GdipPtr<Gdiplus::Image> picture)
{
    prepared.Reset();
    preparedPixels.clear();
    preparedFrom = nullptr;
    image = std::move(picture);
}

void CImageStatic::SetText(const wchar_t* caption) { CopyBoundedText(text, caption); }

void CImageStatic::SetBackColor(Gdiplus::ARGB color)
{
    backBrush = BrushIfVisible(color);
}

void CImageStatic::SetTextColor(Gdiplus::ARGB color)
{
    textBrush = BrushIfVisible(color);
}

namespace {
bool IsBitmapOfSize(Gdiplus::Image& picture, int width, int height)
{
    return picture.GetType() == Gdiplus::ImageTypeBitmap &&
           picture.GetWidth() == static_cast<UINT>(width) &&
           picture.GetHeight() == static_cast<UINT>(height);
}

// A bitmap drawn at its own size needs no drawing at all: its pixels are converted to
// premultiplied ARGB straight into pixels (width * height, top-down). False when the picture is
// not a bitmap of that size or the conversion fails.
bool CopyOwnSize(Gdiplus::Image& source, int width, int height, UINT32* pixels)
{
    if (!IsBitmapOfSize(source, width, height)) return false;
    Gdiplus::BitmapData data = {};
    data.Width = width;
    data.Height = height;
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels;
    Gdiplus::Rect all(0, 0, width, height);
    auto& bitmap = static_cast<Gdiplus::Bitmap&>(source);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        return false;
    }
    return bitmap.UnlockBits(&data) == Gdiplus::Ok;
}
}  // namespace

Gdiplus::Image* CImageStatic::PreparedImage(int width, int height)
{
    Gdiplus::Image* source = image.Get();
    if (!source || width <= 0 || height <= 0 || source->GetLastStatus() != Gdiplus::Ok) {
        return source;
    }
    if (preparedFrom == source && preparedWidth == width && preparedHeight == height) {
        return prepared ? prepared.Get() : source;
    }
    prepared.Reset();
    preparedFrom = source;
    preparedWidth = width;
    preparedHeight = height;
    preparedPixels.assign(static_cast<size_t>(width) * height, 0);
    GdipPtr<Gdiplus::Bitmap> copy(new Gdiplus::Bitmap(width, height, width * 4,
                                                      PixelFormat32bppPARGB,
                                                      reinterpret_cast<BYTE*>(preparedPixels.data())));
    if (copy->GetLastStatus() == Gdiplus::Ok) {
        if (CopyOwnSize(*source, width, height, preparedPixels.data())) {
            prepared = std::move(copy);
        } else {
            Gdiplus::Graphics g(copy.Get());
            if (g.DrawImage(source, 0, 0, width, height) == Gdiplus::Ok) prepared = std::move(copy);
        }
    }
    if (!prepared) preparedPixels.clear();
    return prepared ? prepared.Get() : source;
}

void CImageStatic::DrawPrepared(Gdiplus::Graphics& g, const RECT& r, int w, int h)
{
    Gdiplus::Image* picture = PreparedImage(w, h);
    if (picture != prepared.Get()) {
        g.DrawImage(picture, static_cast<INT>(r.left), static_cast<INT>(r.top), w, h);
        return;
    }
    // The prepared copy is at the drawn size, so the visible part of it can be copied alone
    // with pixel-exact offsets: a repaint of a small area costs a small area.
    Gdiplus::Rect visible;
    g.GetVisibleClipBounds(&visible);
    Gdiplus::Rect area(r.left, r.top, w, h);
    if (!area.Intersect(visible)) return;
    // A view of just that part of the pixels: GDI+ then touches no more than it draws.
    UINT32* first = preparedPixels.data() + static_cast<size_t>(area.Y - r.top) * w + (area.X - r.left);
    Gdiplus::Bitmap part(area.Width, area.Height, w * 4, PixelFormat32bppPARGB,
                         reinterpret_cast<BYTE*>(first));
    // At 1:1 every destination pixel sits on a source pixel, so nearest-neighbour sampling gives
    // the pixels interpolation would, and spares GDI+ its per-pixel filter.
    const Gdiplus::InterpolationMode mode = g.GetInterpolationMode();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.DrawImage(&part, area, 0, 0, area.Width, area.Height, Gdiplus::UnitPixel);
    g.SetInterpolationMode(mode);
}

bool CImageStatic::BlendInto(CLayeredSurface& surface, const RECT& area)
{
    if (!visible || !surface.Pixels() || !image || cleanStretch || backBrush || text[0] != L'\0') return false;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    // A bitmap drawn at its own size is read where it lies, with no prepared copy of it: the
    // pixels are premultiplied on the way. (A picture that did not decode is no bitmap.)
    if (surface.BlendPicture(*image, rect, area)) return true;
    if (PreparedImage(w, h) != prepared.Get() || !prepared) return false;
    const RECT surfaceRect = {0, 0, surface.width, surface.height};
    RECT r;
    if (!IntersectRect(&r, &rect, &area) || !IntersectRect(&r, &r, &surfaceRect)) return true;
    const UINT32* first = preparedPixels.data() + static_cast<size_t>(r.top - rect.top) * w + (r.left - rect.left);
    surface.BlendRows(r, reinterpret_cast<const BYTE*>(first), static_cast<ptrdiff_t>(w) * 4, false);
    return true;
}

void CImageStatic::Draw(Gdiplus::Graphics& g, const RECT& override)
{
    if (!visible) return;
    const RECT r = (override.right != override.left) ? override : rect;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;

    FillBackground(g, backBrush.Get(), r);

    if (image) {
        if (!cleanStretch) {
            DrawPrepared(g, r, w, h);
        } else {
            Gdiplus::ImageAttributes attributes;
            attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
            g.DrawImage(image.Get(), Gdiplus::Rect(r.left, r.top, w, h), 0, 0,
                        static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                        Gdiplus::UnitPixel, &attributes);
        }
    }

    if (text[0] != L'\0' && textBrush) {
        GdipPtr<Gdiplus::StringFormat> format =
            MakeCaptionFormat(static_cast<Gdiplus::StringAlignment>(alignment));
        // Made when text is first drawn (a picture-only static never needs it).
        if (!font && !defaultFont) defaultFont = MakeDefaultFont();
        Gdiplus::Font* f = font ? font : defaultFont.Get();
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(r.left),
                                    static_cast<Gdiplus::REAL>(r.top),
                                    static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
        g.DrawString(text, static_cast<INT>(wcslen(text)), f, layout, format.Get(),
                     textBrush.Get());
    }
}
