#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

#include <vector>

class CLayeredSurface;

// A passive element of a skinned window: an optional fill, a picture stretched to its rectangle
// and optional text over it. Anchor fields let the painter hold it to the right or bottom edge.
class CImageStatic {
public:
    CImageStatic();
    CImageStatic(const CImageStatic&) = delete;
    CImageStatic& operator=(const CImageStatic&) = delete;
    virtual ~CImageStatic();

    // Draws into rect, or into override when its right differs from its left.
    void Draw(Gdiplus::Graphics& g, const RECT& override);
    // Replaces the picture (null removes it).
    void SetImage(GdipPtr<Gdiplus::Image> picture);
    void SetText(const wchar_t* caption);
    // Alpha 0 removes the fill.
    void SetBackColor(Gdiplus::ARGB color);
    // Alpha 0 removes the text brush, so no text is drawn.
    void SetTextColor(Gdiplus::ARGB color);

    int rightOffset = -1;
    int bottomOffset = -1;
    int fixedLeft = -1;
    int fixedTop = -1;
    GdipPtr<Gdiplus::SolidBrush> textBrush;
    GdipPtr<Gdiplus::Brush> backBrush;
    bool cleanStretch = false;
    RECT rect = {};
    // Replace it through SetImage, which also drops the prepared copy made from the old one.
    GdipPtr<Gdiplus::Image> image;
    int key = 0;
    wchar_t text[256] = {};
    GdipPtr<Gdiplus::Font> defaultFont;  // made when text is first drawn without font
    Gdiplus::Font* font = nullptr;  // borrowed; replaces defaultFont when set
    bool visible = true;
    int alignment = 1;

    // Draws the picture, at its drawn size, straight into a layered surface's pixels within
    // area: the source-over blend GDI+ does, without its per-pixel conversions. False (nothing
    // done) when the static draws more than a picture.
    bool BlendInto(CLayeredSurface& surface, const RECT& area);

private:
    // The picture converted once to premultiplied pixels at the size it is drawn, and drawn
    // instead of it at its own size: the same pixels without decoding, converting or scaling it
    // again at every paint. Made again when the picture or the size changes.
    Gdiplus::Image* PreparedImage(int width, int height);
    void DrawPrepared(Gdiplus::Graphics& g, const RECT& r, int width, int height);
    std::vector<UINT32> preparedPixels;  // premultiplied ARGB rows, top-down
    GdipPtr<Gdiplus::Bitmap> prepared;   // a view of preparedPixels
    Gdiplus::Image* preparedFrom = nullptr;
    int preparedWidth = 0;
    int preparedHeight = 0;
};
