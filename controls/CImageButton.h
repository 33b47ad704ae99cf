#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "BoundedText.h"
#include "CaptionPixels.h"
#include "UniqueHandle.h"

// A windowless button inside a container (a window painter or a list row): draws one of three
// looks from state images, an icon, a caption, a background and a border. The container decides
// where the pointer is and whether the left button is held, and passes that to Draw.
class CImageButton {
public:
    enum Look { LookNormal = 0, LookHover = 1, LookPressed = 2 };
    enum ImageSlot { ImageNormal = 0, ImageHover = 1, ImagePressed = 2, ImageExtra = 3 };

    CImageButton(HWND owner, int id, const RECT& rect, const wchar_t* text);
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;
    virtual ~CImageButton();

    // With a layered surface, pictures drawn at their own size are blended straight into its
    // pixels within area instead of through g.
    virtual void Draw(Gdiplus::Graphics& g, POINT mouse, bool pressed, const RECT* box,
                      CLayeredSurface* surface = nullptr, const RECT& area = {});
    virtual void SetRect(const RECT& r);
    virtual bool HitPart(POINT p);
    virtual RECT* GetPartRect(RECT* out);
    virtual void DrawCaption(Gdiplus::Graphics& g, RECT box, Gdiplus::SolidBrush* brush,
                             CLayeredSurface* surface = nullptr, const RECT& area = {});

    // PNG resource identifiers; normalId 0 changes nothing at all.
    void SetImages(int normalId, int hoverId, int pressedId, int extraId);
    // Two frames side by side: the left one becomes the normal image, the right one the hover.
    void SetImageStrip(int id);
    // Alpha 0 leaves that look without a caption brush of its own.
    void SetTextColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed);
    // Same rule for the background fill and the border.
    void SetBackColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed);
    void SetBorderColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed);
    // PNG resource identifiers of the icon images (0 = none); sets showIcon when one loads.
    void SetIcons(int normalId, int hoverId);
    // Caption, cut to 255 characters.
    void SetText(const wchar_t* caption);

    // The look for a pointer position and pressed state, given the box drawn into.
    Look LookFor(const RECT& drawBox, POINT mouse, bool pressed) const;
    // The resources each look draws with, after the fallbacks.
    Gdiplus::Image* ImageFor(Look look) const;
    Gdiplus::Image* IconFor(Look look) const;
    Gdiplus::SolidBrush* BackBrushFor(Look look) const;
    Gdiplus::Pen* BorderPenFor(Look look) const;
    Gdiplus::SolidBrush* TextBrushFor(Look look) const;

    bool latched = false;
    int rightOffset = -1;
    int bottomOffset = -1;
    POINT imageOffset = {0, 0};
    RECT textInset = {0, 2, 0, 0};
    bool showText = true;
    // How the state images are combined.
    enum ImageMode : int {
        kChosenImage = 3,            // the look's image alone (unscaled at a non-zero x offset)
        kNormalOverChosen = 4,       // the look's image, the normal image over it
        kChosenOverNormal = 5,       // the normal image, the look's image over it
    };
    int imageMode = kChosenImage;
    int id = 0;
    RECT rect = {};
    bool visible = true;
    GdipPtr<Gdiplus::Font> font;     // the default caption font, made at the first caption drawn
    GdipPtr<Gdiplus::Font> altFont;  // replaces it when set
    wchar_t text[256] = {};
    int textBoxHeight = 0;
    HWND owner = nullptr;  // not owned
    GdipPtr<Gdiplus::Image> images[4];
    GdipPtr<Gdiplus::Image> strip;
    bool showIcon = false;
    GdipPtr<Gdiplus::Image> iconNormal;
    GdipPtr<Gdiplus::Image> iconHover;
    RECT iconRect = {};
    GdipPtr<Gdiplus::Pen> borderPens[3];
    GdipPtr<Gdiplus::SolidBrush> backBrushes[3];
    GdipPtr<Gdiplus::SolidBrush> textBrushes[3];
    int textAlign = 1;

private:
    CaptionPixels captionPixels;  // the caption as last blended into a layered surface
};
