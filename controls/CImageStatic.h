#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "GdipPtr.h"

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
    // Replaces the picture (the static takes ownership; null removes it).
    void SetImage(Gdiplus::Image* picture);
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
    GdipPtr<Gdiplus::Image> image;
    int key = 0;
    wchar_t text[256] = {};
    GdipPtr<Gdiplus::Font> defaultFont;
    Gdiplus::Font* font = nullptr;  // borrowed; replaces defaultFont when set
    bool visible = true;
    int alignment = 1;

private:
    // The picture converted once to premultiplied pixels, drawn instead of it when the static is
    // exactly the picture's size: same pixels, no per-paint conversion.
    Gdiplus::Image* FastImageFor(int width, int height);
    GdipPtr<Gdiplus::Bitmap> premultiplied;
    Gdiplus::Image* premultipliedFrom = nullptr;
};
