#include "CImageStatic.h"
#include "CImageButton.h"
#include "SkinDrawing.h"

#include <cwchar>
#include <utility>

CImageStatic::CImageStatic()
{
    textBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFF000000)));
    defaultFont = MakeDefaultFont();
}

CImageStatic::~CImageStatic() = default;

void CImageStatic::SetImage(GdipPtr<Gdiplus::Image> picture)
{
    prepared.Reset();
    preparedPixels.clear();
    preparedFrom = nullptr;
    image = std::move(picture);
}

void CImageStatic::SetText(const wchar_t* caption) { CopyBoundedText(text, 256, caption); }

void CImageStatic::SetBackColor(Gdiplus::ARGB color)
{
    backBrush = BrushIfVisible(color);
}

void CImageStatic::SetTextColor(Gdiplus::ARGB color)
{
    textBrush = BrushIfVisible(color);
}

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
        Gdiplus::Graphics g(copy.Get());
        if (g.DrawImage(source, 0, 0, width, height) == Gdiplus::Ok) prepared = std::move(copy);
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
        Gdiplus::Font* f = font ? font : defaultFont.Get();
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(r.left),
                                    static_cast<Gdiplus::REAL>(r.top),
                                    static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
        g.DrawString(text, static_cast<INT>(wcslen(text)), f, layout, format.Get(),
                     textBrush.Get());
    }
}
