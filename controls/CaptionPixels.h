#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

class CLayeredSurface;

// One caption rendered once over transparency and from then on blended into a layered surface
// while what it is drawn with stays the same (text, font, colour, box, format, text rendering).
// GDI+ lays out and rasterises text at every DrawString, which costs more than the rest of a
// button; a blend of the kept pixels gives the same pixels.
class CaptionPixels {
public:
    // Draws text as g.DrawString(text, font, layout, format, brush) would on surface, within
    // area. False, with nothing drawn, when it cannot stand for that call: ClearType text (its
    // colours depend on what lies under it), a transformed or non-pixel g, an unclipped format
    // or a layout off the pixel grid.
    bool Draw(Gdiplus::Graphics& g, CLayeredSurface& surface, const RECT& area,
              const wchar_t* text, Gdiplus::Font& font, const Gdiplus::RectF& layout,
              const Gdiplus::StringFormat& format, const Gdiplus::SolidBrush& brush);

private:
    // Everything the rendered pixels depend on.
    struct Key {
        std::wstring text;
        std::wstring family;
        Gdiplus::REAL size = 0;
        INT style = 0;
        Gdiplus::Unit unit = Gdiplus::UnitPixel;
        Gdiplus::ARGB color = 0;
        int width = 0;
        int height = 0;
        INT flags = 0;
        Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;
        Gdiplus::StringAlignment lineAlignment = Gdiplus::StringAlignmentNear;
        Gdiplus::StringTrimming trimming = Gdiplus::StringTrimmingNone;
        Gdiplus::TextRenderingHint hint = Gdiplus::TextRenderingHintSystemDefault;
        UINT contrast = 0;
        bool operator==(const Key& other) const;
    };
    bool Render(const Key& key, Gdiplus::Graphics& g, const wchar_t* text, Gdiplus::Font& font,
                const Gdiplus::StringFormat& format, const Gdiplus::SolidBrush& brush);

    Key kept;
    bool valid = false;
    // Ink that reached the edge of the rendered pixels, which may therefore not hold all of it:
    // this caption is drawn by GDI+ itself.
    bool direct = false;
    // The caption rendered with its box `pad` pixels in from every side: glyphs that reach out
    // of the box are kept as the platform draws them (clipped or not).
    int pad = 0;
    int stride = 0;              // pixels per row: kept.width + 2 * pad
    RECT ink = {};               // the non-transparent part, in rendered coordinates
    std::vector<UINT32> pixels;  // premultiplied ARGB rows, top-down
};
