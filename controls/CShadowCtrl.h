#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "CLayeredSurface.h"
#include "CWindowCtrl.h"
#include "ShadowRim.h"

// A borderless layered tool window behind a popup that draws a soft grey rim around it: three
// rounded outlines of rising opacity. The decorated window keeps it margin pixels larger than
// itself on every side (FollowWindow).
class CShadowCtrl : public CWindowCtrl {
public:
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

    UpdateLayeredWindowFn updateLayered = nullptr;
    int margin = 6;
    int radius = 3;
    ShadowRim rim;
};
