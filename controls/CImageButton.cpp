#include "CImageButton.h"
#include "CLayeredSurface.h"
#include "SkinDrawing.h"
#include "PngResource.h"

#include <cwchar>

namespace {
Gdiplus::Rect ToRect(const RECT& r)
{
    return Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
}  // namespace

CImageButton::CImageButton(HWND ownerWindow, int buttonId, const RECT& r, const wchar_t* caption)
    : id(buttonId), rect(r), owner(ownerWindow)
{
    CopyBoundedText(text, caption);
    textBrushes[LookNormal].Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFF000000)));
}

CImageButton::~CImageButton() = default;

void CImageButton::SetRect(const RECT& r) { rect = r; }

bool CImageButton::HitPart(POINT) { return false; }

RECT* CImageButton::GetPartRect(RECT* out)
{
    if (out) *out = RECT{0, 0, 0, 0};
    return out;
}

void CImageButton::SetText(const wchar_t* caption) { CopyBoundedText(text, caption); }

void CImageButton::SetImages(int normalId, int hoverId, int pressedId, int extraId)
{
    if (normalId == 0) return;
    for (auto& image : images) image.Reset();
    const int ids[4] = {normalId, hoverId, pressedId, extraId};
    for (int i = 0; i < 4; ++i) {
        // A picture named twice is decoded once; the second slot gets a copy of its pixels.
        int same = 0;
        while (same < i && ids[same] != ids[i]) ++same;
        if (same < i && images[same] && images[same]->GetLastStatus() == Gdiplus::Ok) {
            images[i].Reset(images[same]->Clone());
        } else {
            images[i] = LoadPngResource(ids[i]);
        }
    }
}

void CImageButton::SetImageStrip(int stripId)
{
    GdipPtr<Gdiplus::Image> loaded = LoadPngResource(stripId);
    if (!loaded || loaded->GetLastStatus() != Gdiplus::Ok) return;
    const int frame = static_cast<int>(loaded->GetWidth() / 2);
    const int height = static_cast<int>(loaded->GetHeight());
    if (frame <= 0 || height <= 0) return;
    images[ImageNormal] = CropImage(*loaded, 0, frame, height);
    images[ImageHover] = CropImage(*loaded, frame, frame, height);
    strip = std::move(loaded);
}

void CImageButton::SetTextColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed)
{
    for (auto& brush : textBrushes) brush.Reset();
    textBrushes[LookNormal] = BrushIfVisible(normal);
    textBrushes[LookHover] = BrushIfVisible(hover);
    textBrushes[LookPressed] = BrushIfVisible(pressed);
}

void CImageButton::SetBackColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed)
{
    for (auto& brush : backBrushes) brush.Reset();
    backBrushes[LookNormal] = BrushIfVisible(normal);
    backBrushes[LookHover] = BrushIfVisible(hover);
    backBrushes[LookPressed] = BrushIfVisible(pressed);
}

void CImageButton::SetBorderColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed)
{
    const Gdiplus::ARGB colors[3] = {normal, hover, pressed};
    for (int i = 0; i < 3; ++i) {
        borderPens[i].Reset(colors[i] >> 24 ? new Gdiplus::Pen(Gdiplus::Color(colors[i]), 1.0f)
                                            : nullptr);
    }
}

void CImageButton::SetIcons(int normalId, int hoverId)
{
    iconNormal = LoadPngResource(normalId);
    iconHover = LoadPngResource(hoverId);
    if (iconNormal || iconHover) showIcon = true;
}

CImageButton::Look CImageButton::LookFor(const RECT& drawBox, POINT mouse, bool pressed) const
{
    if (latched) return LookPressed;
    if (PtInRect(&drawBox, mouse)) return pressed ? LookPressed : LookHover;
    return LookNormal;
}

Gdiplus::Image* CImageButton::ImageFor(Look look) const
{
    Gdiplus::Image* normal = images[ImageNormal].Get();
    Gdiplus::Image* hover = images[ImageHover].Get() ? images[ImageHover].Get() : normal;
    switch (look) {
    case LookHover: return hover;
    case LookPressed: return images[ImagePressed].Get() ? images[ImagePressed].Get() : hover;
    default: return normal;
    }
}

Gdiplus::Image* CImageButton::IconFor(Look look) const
{
    if (look == LookNormal) return iconNormal.Get();
    return iconHover ? iconHover.Get() : iconNormal.Get();
}

Gdiplus::SolidBrush* CImageButton::BackBrushFor(Look look) const
{
    return backBrushes[look] ? backBrushes[look].Get() : backBrushes[LookNormal].Get();
}

Gdiplus::Pen* CImageButton::BorderPenFor(Look look) const
{
    return borderPens[look] ? borderPens[look].Get() : borderPens[LookNormal].Get();
}

Gdiplus::SolidBrush* CImageButton::TextBrushFor(Look look) const
{
    return textBrushes[look] ? textBrushes[look].Get() : textBrushes[LookNormal].Get();
}

void CImageButton::Draw(Gdiplus::Graphics& g, POINT mouse, bool pressed, const RECT* box,
                        CLayeredSurface* surface, const RECT& area)
{
    if (!visible) return;
    const RECT b = (box && box->right != box->left) ? *box : rect;
    const Look look = LookFor(b, mouse, pressed);
    const Gdiplus::Rect whole = ToRect(b);

    Gdiplus::Pen* pen = BorderPenFor(look);
    if (Gdiplus::SolidBrush* back = BackBrushFor(look)) {
        if (pen) {
            g.FillRectangle(back, whole.X + 1, whole.Y + 1, whole.Width - 2, whole.Height - 2);
        } else {
            g.FillRectangle(back, whole);
        }
    }

    auto draw = [&](Gdiplus::Image* picture, const Gdiplus::Rect& at) {
        if (!picture) return;
        const RECT place = {at.X, at.Y, at.X + at.Width, at.Y + at.Height};
        if (!surface || !surface->BlendPicture(*picture, place, area)) g.DrawImage(picture, at);
    };
    Gdiplus::Image* chosen = ImageFor(look);
    Gdiplus::Image* normal = images[ImageNormal].Get();
    switch (imageMode) {
    case kChosenImage:
        if (chosen && imageOffset.x != 0) {
            draw(chosen, Gdiplus::Rect(b.left + imageOffset.x, b.top + imageOffset.y,
                                       static_cast<INT>(chosen->GetWidth()),
                                       static_cast<INT>(chosen->GetHeight())));
        } else {
            draw(chosen, whole);
        }
        break;
    case kNormalOverChosen:
        draw(chosen, whole);
        if (normal != chosen) draw(normal, whole);
        break;
    case kChosenOverNormal:
        if (normal != chosen) draw(normal, whole);
        draw(chosen, whole);
        break;
    default: break;
    }

    if (showIcon) {
        if (Gdiplus::Image* icon = IconFor(look)) {
            g.DrawImage(icon, static_cast<INT>(b.left + iconRect.left),
                        static_cast<INT>(b.top + iconRect.top),
                        static_cast<INT>(iconRect.right - iconRect.left),
                        static_cast<INT>(iconRect.bottom - iconRect.top));
        }
    }

    DrawCaption(g, b, TextBrushFor(look), surface, area);

    if (pen) {
        const INT l = b.left, t = b.top, r = b.right, bt = b.bottom;
        const Gdiplus::Point outline[9] = {{l, t + 1},      {l + 1, t},      {r - 2, t},
                                           {r - 1, t + 1},  {r - 1, bt - 2}, {r - 2, bt - 1},
                                           {l + 1, bt - 1}, {l, bt - 2},     {l, t + 1}};
        g.DrawLines(pen, outline, 9);
    }
}

void CImageButton::DrawCaption(Gdiplus::Graphics& g, RECT box, Gdiplus::SolidBrush* brush,
                               CLayeredSurface* surface, const RECT& area)
{
    if (!showText || text[0] == L'\0') return;
    if (showIcon && iconNormal) box.left += iconRect.right - 1;
    box.left += textInset.left;
    box.top += textInset.top;
    box.right -= textInset.right;
    box.bottom -= textInset.bottom + 1;
    if (!brush) return;
    // Made when a caption is first drawn: most buttons are pictures only, and the first font a
    // process makes costs GDI+ a scan of the installed fonts.
    if (!altFont && !font) font = MakeDefaultFont();
    Gdiplus::Font* f = altFont ? altFont.Get() : font.Get();
    if (!f) return;

    GdipPtr<Gdiplus::StringFormat> format =
        MakeCaptionFormat(static_cast<Gdiplus::StringAlignment>(textAlign));

    int h = box.bottom - box.top;
    int dy = 0;
    if (textBoxHeight != 0 && textBoxHeight < h) {
        dy = (h - textBoxHeight) / 2;
        h = textBoxHeight;
    }
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(box.left),
                                static_cast<Gdiplus::REAL>(box.top + dy),
                                static_cast<Gdiplus::REAL>(box.right - box.left),
                                static_cast<Gdiplus::REAL>(h));
    if (surface && captionPixels.Draw(g, *surface, area, text, *f, layout, *format, *brush)) return;
    g.DrawString(text, static_cast<INT>(wcslen(text)), f, layout, format.Get(), brush);
}
