#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "CLayeredSurface.h"
#include "CWindowCtrl.h"
#include "UniqueHandle.h"

// A borderless layered tool window behind a popup that draws a soft grey rim around it: three
// rounded outlines of rising opacity. The decorated window keeps it margin pixels larger than
// itself on every side (FollowWindow).
class CShadowCtrl : public CWindowCtrl {
public:
    // One rounded outline of the rim, in client coordinates.
    struct Outline {
        int left, top, right, bottom, radius;
    };

    CShadowCtrl();
    ~CShadowCtrl() override;

    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void OnShowWindow(BOOL show, UINT status) override;
    // Draws the rim and pushes it with a constant alpha.
    virtual void Render(BYTE alpha);

    // The menu's greys.
    void SetMenuColors();
    // Moves the shadow around the decorated window and redraws it.
    void FollowWindow(HWND decorated);
    // The rim for a client area of width x height, drawn with the current pens.
    void DrawRim(Gdiplus::Graphics& g, int width, int height);
    // Outer, middle and inner outline for a client area of width x height.
    void Outlines(int width, int height, Outline out[3]) const;

    UpdateLayeredWindowFn updateLayered = nullptr;
    int margin = 6;
    int radius = 3;
    GdipPtr<Gdiplus::Pen> pens[3];
    Gdiplus::ARGB colors[3] = {0x0F8A8A8A, 0x328A8A8A, 0x648A8A8A};

private:
    void MakePens();
};

// The shadow's rectangle around a decorated window's screen rectangle: grown by margin on every
// side, unless the rectangle has no width.
RECT ShadowRectFor(const RECT& decorated, int margin);
// A closed rounded-rectangle figure with corner radius a: four arcs joined by the four edges.
void AddRoundRectFigure(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom,
                        int a);
