#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

// The soft grey rim of a window's drop shadow: three rounded outlines of rising opacity inside a
// client rectangle, drawn by the popups' shadow window and by the game window's backdrop.
class ShadowRim {
public:
    static constexpr Gdiplus::ARGB kGreys[3] = {0x0F8A8A8A, 0x328A8A8A, 0x648A8A8A};
    static constexpr Gdiplus::ARGB kMenuGreys[3] = {0x0F9E9E9E, 0x329E9E9E, 0x649E9E9E};

    // Takes these colours, outermost first, and makes their pens.
    void SetColors(const Gdiplus::ARGB (&greys)[3]);
    // Pens of the current colours (2, 2 and 4 pixels wide).
    void MakePens();
    void ReleasePens();
    // The outlines inside client, margin pixels in, with corner radius about radius; outlines
    // without a pen are left out.
    void Draw(Gdiplus::Graphics& g, const RECT& client, int margin, int radius) const;

    Gdiplus::ARGB colors[3] = {kGreys[0], kGreys[1], kGreys[2]};
    GdipPtr<Gdiplus::Pen> pens[3];
};

// One outline of the rim and its corner radius.
struct ShadowOutline {
    RECT rect;
    int radius;
};
// The outer, middle and inner outline inside client for a margin and a corner radius.
void ShadowOutlines(const RECT& client, int margin, int radius, ShadowOutline out[3]);

// The outline of a rounded rectangle (L, T, R, B) with horizontal and vertical corner radii a
// and b, added to path as four arcs joined by four lines.
void AddRoundedRect(Gdiplus::GraphicsPath& path, const RECT& rect, int a, int b);

// The shadow's rectangle around a decorated window's screen rectangle: grown by margin on every
// side, unless the rectangle has no width.
RECT ShadowRectFor(const RECT& decorated, int margin);
