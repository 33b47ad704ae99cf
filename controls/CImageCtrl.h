#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "CImagePaint.h"
#include "CWindowCtrl.h"
#include "UniqueHandle.h"

class CImageButton;

// The skinned top-level window: no system caption, resize borders by its own hit-testing,
// minimum or fixed size, cut corners, a maximised size that fits its monitor's work area, an own
// modal loop, and the painter's events turned into virtual hooks for derived windows.
class CImageCtrl : public CWindowCtrl {
public:
    // The style of the skinned top-level windows (the game window, the close question).
    static constexpr DWORD kPopupStyle =
        WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

    CImageCtrl();
    ~CImageCtrl() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual bool OnButtonDown(CImageButton* button);
    virtual bool OnButtonClick(CImageButton* button);
    virtual bool OnButtonHover(CImageButton* button);
    virtual bool OnButtonRightDown(CImageButton* button);
    virtual bool OnButtonRightClick(CImageButton* button);
    virtual void OnDrawBackground(Gdiplus::Graphics& g);
    virtual void OnDrawOverlay(Gdiplus::Graphics& g);

    // Runs a message loop on the window's thread until the window is gone or modalRunning is
    // cleared; false on a foreign thread, without a window, or when already running.
    bool RunModalLoop();
    // Gives the window a copy of icon as its big (1) or small (0) icon; the caller keeps icon.
    void SetIcon(HICON icon, int kind);
    // Icon group 128 of the executable at size x size pixels.
    bool LoadIconFromResource(int kind, int size);

    // Hit-test answer for a client point, W x H client, b x h resize bands.
    static LRESULT BorderHitTest(POINT p, int W, int H, int b, int h, bool resizable);
    // The eight corners of the cut-corner outline of a W x H window.
    static void CutCornerPolygon(int W, int H, POINT out[8]);
    // Applies the fixed and minimum sizes to a proposed size.
    static void LimitSize(int& cx, int& cy, int fixedW, int fixedH, int minW, int minH);

    CImagePaint painter;
    UniqueIcon icon;  // the small-icon copy
    int minWidth = 0, minHeight = 0;
    int fixedWidth = 0, fixedHeight = 0;
    bool resizable = false;
    int borderHeight = 3;
    int borderWidth = 3;
    bool roundCorners = false;
    bool modalRunning = false;
    int modalResult = 2;

private:
    void ApplyRegion();
    void OnMinMaxInfo(MINMAXINFO* info);
    UniqueIcon bigIcon;  // the big-icon copy
};
