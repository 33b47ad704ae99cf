#include "SkinDrawing.h"
#include "CSanDC.h"

GdipPtr<Gdiplus::Font> MakeFontWithFallback(const wchar_t* family)
{
    GdipPtr<Gdiplus::Font> font(
        new Gdiplus::Font(family, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint));
    if (font->GetLastStatus() != Gdiplus::Ok) {
        font.Reset(new Gdiplus::Font(Gdiplus::FontFamily::GenericSansSerif(), 9.0f,
                                     Gdiplus::FontStyleRegular, Gdiplus::UnitPoint));
    }
    return font;
}

GdipPtr<Gdiplus::Font> MakeDefaultFont()
{
    // "宋体"
    return MakeFontWithFallback(L"\u5b8b\u4f53");
}

GdipPtr<Gdiplus::StringFormat> MakeCaptionFormat(Gdiplus::StringAlignment alignment)
{
    GdipPtr<Gdiplus::StringFormat> format(new Gdiplus::StringFormat(0, LANG_NEUTRAL));
    format->SetAlignment(alignment);
    format->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format->SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
    return format;
}

GdipPtr<Gdiplus::SolidBrush> BrushIfVisible(Gdiplus::ARGB color)
{
    return GdipPtr<Gdiplus::SolidBrush>(
        (color >> 24) ? new Gdiplus::SolidBrush(Gdiplus::Color(color)) : nullptr);
}

void PrepareSkinGraphics(Gdiplus::Graphics& g, HDC dc)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    SetBkMode(dc, TRANSPARENT);
}

void FillBackground(Gdiplus::Graphics& g, const Gdiplus::Brush* brush, const RECT& r)
{
    if (!brush) return;
    g.FillRectangle(brush, static_cast<INT>(r.left - 1), static_cast<INT>(r.top - 1),
                    static_cast<INT>(r.right - r.left + 1), static_cast<INT>(r.bottom - r.top + 1));
}

void PaintBuffered(HWND hwnd, const RECT& copyRect,
                   const std::function<void(HDC dc, const RECT& area)>& draw)
{
    PAINTSTRUCT ps = {};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT area = copyRect;
    RECT visible = {};
    if (dc && GetClipBox(dc, &visible) != ERROR) IntersectRect(&area, &copyRect, &visible);
    if (dc && !IsRectEmpty(&area)) {
        CSanDC surface(dc, area);
        if (surface.bitmap) draw(surface.memoryDC, area);
    }
    EndPaint(hwnd, &ps);
}

void MakeToolWindow(HWND hwnd)
{
    const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                      (ex & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
}

void MakeSkinnedStyle(HWND hwnd)
{
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetWindowLongPtrW(hwnd, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | kSkinnedStyleBits);
}

bool TrackMouseLeave(HWND hwnd)
{
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, hwnd, 10};
    return TrackMouseEvent(&tme) != FALSE;
}
