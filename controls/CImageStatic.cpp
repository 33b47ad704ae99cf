#include "CImageStatic.h"
#include "CImageButton.h"
#include "DefaultFont.h"

#include <cwchar>

CImageStatic::CImageStatic()
{
    textBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFF000000)));
    defaultFont.Reset(MakeDefaultFont());
}

CImageStatic::~CImageStatic() = default;

void CImageStatic::SetImage(Gdiplus::Image* picture)
{
    premultiplied.Reset();
    premultipliedFrom = nullptr;
    image.Reset(picture);
}

void CImageStatic::SetText(const wchar_t* caption) { CopyBoundedText(text, 256, caption); }

void CImageStatic::SetBackColor(Gdiplus::ARGB color)
{
    backBrush.Reset(color >> 24 ? new Gdiplus::SolidBrush(Gdiplus::Color(color)) : nullptr);
}

void CImageStatic::SetTextColor(Gdiplus::ARGB color)
{
    textBrush.Reset(color >> 24 ? new Gdiplus::SolidBrush(Gdiplus::Color(color)) : nullptr);
}

Gdiplus::Image* CImageStatic::FastImageFor(int width, int height)
{
    Gdiplus::Image* source = image.Get();
    if (!source || source->GetType() != Gdiplus::ImageTypeBitmap) return source;
    if (static_cast<int>(source->GetWidth()) != width ||
        static_cast<int>(source->GetHeight()) != height) {
        return source;
    }
    if (premultipliedFrom != source) {
        premultiplied.Reset();
        premultipliedFrom = source;
        GdipPtr<Gdiplus::Bitmap> copy(new Gdiplus::Bitmap(width, height, PixelFormat32bppPARGB));
        if (copy->GetLastStatus() == Gdiplus::Ok) {
            Gdiplus::Graphics g(copy.Get());
            g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            if (g.DrawImage(source, 0, 0, width, height) == Gdiplus::Ok) {
                premultiplied = std::move(copy);
            }
        }
    }
    return premultiplied ? premultiplied.Get() : source;
}

void CImageStatic::Draw(Gdiplus::Graphics& g, const RECT& override)
{
    if (!visible) return;
    const RECT r = (override.right != override.left) ? override : rect;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;

    if (backBrush) g.FillRectangle(backBrush.Get(), static_cast<INT>(r.left - 1), static_cast<INT>(r.top - 1), w + 1,
                                  h + 1);

    if (image) {
        if (!cleanStretch) {
            g.DrawImage(FastImageFor(w, h), static_cast<INT>(r.left), static_cast<INT>(r.top), w, h);
        } else {
            Gdiplus::ImageAttributes attributes;
            attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
            g.DrawImage(image.Get(), Gdiplus::Rect(r.left, r.top, w, h), 0, 0,
                        static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                        Gdiplus::UnitPixel, &attributes);
        }
    }

    if (text[0] != L'\0' && textBrush) {
        GdipPtr<Gdiplus::StringFormat> format(new Gdiplus::StringFormat(0, LANG_NEUTRAL));
        format->SetAlignment(static_cast<Gdiplus::StringAlignment>(alignment));
        format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
        format->SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
        Gdiplus::Font* f = font ? font : defaultFont.Get();
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(r.left),
                                    static_cast<Gdiplus::REAL>(r.top),
                                    static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
        g.DrawString(text, static_cast<INT>(wcslen(text)), f, layout, format.Get(),
                     textBrush.Get());
    }
}
