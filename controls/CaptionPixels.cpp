#include "CaptionPixels.h"
#include "CLayeredSurface.h"

#include <cmath>
#include <algorithm>
#include <cwchar>

namespace {
bool ClearType(Gdiplus::TextRenderingHint hint)
{
    if (hint == Gdiplus::TextRenderingHintClearTypeGridFit) return true;
    if (hint != Gdiplus::TextRenderingHintSystemDefault) return false;
    BOOL smoothing = FALSE;
    UINT type = 0;
    SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    SystemParametersInfoW(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0);
    return smoothing && type == FE_FONTSMOOTHINGCLEARTYPE;
}

bool Whole(Gdiplus::REAL v) { return std::floor(v) == v; }
}  // namespace

bool CaptionPixels::Key::operator==(const Key& o) const
{
    return text == o.text && family == o.family && size == o.size && style == o.style &&
           unit == o.unit && color == o.color && width == o.width && height == o.height &&
           flags == o.flags && alignment == o.alignment && lineAlignment == o.lineAlignment &&
           trimming == o.trimming && hint == o.hint && contrast == o.contrast;
}

bool CaptionPixels::Draw(Gdiplus::Graphics& g, CLayeredSurface& surface, const RECT& area,
                         const wchar_t* text, Gdiplus::Font& font, const Gdiplus::RectF& layout,
                         const Gdiplus::StringFormat& format, const Gdiplus::SolidBrush& brush)
{
    if (!surface.Pixels() || !text || layout.Width <= 0 || layout.Height <= 0) return false;
    if (!Whole(layout.X) || !Whole(layout.Y) || !Whole(layout.Width) || !Whole(layout.Height)) return false;
    if ((format.GetFormatFlags() & Gdiplus::StringFormatFlagsNoClip) ||
        g.GetCompositingMode() != Gdiplus::CompositingModeSourceOver) {
        return false;
    }
    if (g.GetPageUnit() != Gdiplus::UnitDisplay && g.GetPageUnit() != Gdiplus::UnitPixel) return false;
    if (g.GetPageScale() != 1.0f) return false;
    Gdiplus::Matrix transform;
    if (g.GetTransform(&transform) != Gdiplus::Ok || !transform.IsIdentity()) return false;
    Key key;
    key.hint = g.GetTextRenderingHint();
    if (ClearType(key.hint)) return false;
    Gdiplus::FontFamily family;
    WCHAR name[LF_FACESIZE] = {};
    if (font.GetFamily(&family) != Gdiplus::Ok || family.GetFamilyName(name) != Gdiplus::Ok) return false;
    Gdiplus::Color color;
    brush.GetColor(&color);
    key.text = text;
    key.family = name;
    key.size = font.GetSize();
    key.style = font.GetStyle();
    key.unit = font.GetUnit();
    key.color = color.GetValue();
    key.width = static_cast<int>(layout.Width);
    key.height = static_cast<int>(layout.Height);
    key.flags = format.GetFormatFlags();
    key.alignment = format.GetAlignment();
    key.lineAlignment = format.GetLineAlignment();
    key.trimming = format.GetTrimming();
    key.contrast = g.GetTextContrast();
    if (!(valid && key == kept) && !Render(key, g, text, font, format, brush)) return false;
    if (direct) return false;

    const LONG left = static_cast<LONG>(layout.X) - pad, top = static_cast<LONG>(layout.Y) - pad;
    const RECT place = {left + ink.left, top + ink.top, left + ink.right, top + ink.bottom};
    const RECT whole = {0, 0, surface.width, surface.height};
    RECT r;
    if (!IntersectRect(&r, &place, &area) || !IntersectRect(&r, &r, &whole)) return true;
    const UINT32* first = pixels.data() + static_cast<size_t>(r.top - top) * stride + (r.left - left);
    surface.BlendRows(r, reinterpret_cast<const BYTE*>(first), static_cast<ptrdiff_t>(stride) * 4, false);
    return true;
}

bool CaptionPixels::Render(const Key& key, Gdiplus::Graphics& g, const wchar_t* text,
                           Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                           const Gdiplus::SolidBrush& brush)
{
    valid = false;
    direct = false;
    pad = static_cast<int>(std::ceil(font.GetHeight(&g))) + 2;
    stride = key.width + 2 * pad;
    const int rows = key.height + 2 * pad;
    pixels.assign(static_cast<size_t>(stride) * rows, 0);
    Gdiplus::Bitmap target(stride, rows, stride * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(pixels.data()));
    if (target.GetLastStatus() != Gdiplus::Ok) return false;
    // Text sized in points or inches comes out at the size the surface's resolution gives it.
    target.SetResolution(g.GetDpiX(), g.GetDpiY());
    {
        Gdiplus::Graphics on(&target);
        on.SetPageUnit(g.GetPageUnit());
        on.SetSmoothingMode(g.GetSmoothingMode());
        on.SetPixelOffsetMode(g.GetPixelOffsetMode());
        on.SetCompositingQuality(g.GetCompositingQuality());
        on.SetTextRenderingHint(key.hint);
        on.SetTextContrast(key.contrast);
        const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(pad), static_cast<Gdiplus::REAL>(pad),
                                 static_cast<Gdiplus::REAL>(key.width),
                                 static_cast<Gdiplus::REAL>(key.height));
        if (on.DrawString(text, static_cast<INT>(std::wcslen(text)), &font, box, &format, &brush) !=
            Gdiplus::Ok) {
            return false;
        }
        on.Flush(Gdiplus::FlushIntentionSync);
    }
    ink = RECT{stride, rows, 0, 0};
    for (int y = 0; y < rows; ++y) {
        const UINT32* row = pixels.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < stride; ++x) {
            if (!row[x]) continue;
            ink.left = (std::min)(ink.left, static_cast<LONG>(x));
            ink.right = (std::max)(ink.right, static_cast<LONG>(x + 1));
            ink.top = (std::min)(ink.top, static_cast<LONG>(y));
            ink.bottom = y + 1;
        }
    }
    if (ink.right <= ink.left) ink = RECT{};
    direct = ink.right > ink.left &&
             (ink.left == 0 || ink.top == 0 || ink.right == stride || ink.bottom == rows);
    if (direct) std::vector<UINT32>().swap(pixels);
    kept = key;
    valid = true;
    return true;
}
