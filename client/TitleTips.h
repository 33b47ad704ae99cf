#pragma once
#include <windows.h>

class CImageButton;
class CImageTipCtrl;

// Shows the captions of the title bar's window, full-screen and tools buttons as tooltips: after
// the pointer has rested on a button for a moment, hidden when it leaves the button or clicks.
// The game window feeds it the painter's hover events and its own pointer messages.
class TitleTips {
public:
    static constexpr UINT kDelayMs = 500;

    // True for the buttons whose caption is a tooltip.
    static bool HasTip(int id);

    // The painter found a new hot button.
    void OnHover(CImageTipCtrl& tip, const CImageButton* button);
    // After the painter has handled a message (only pointer messages matter); hot is its hot
    // button now (or null).
    void OnMouseMessage(CImageTipCtrl& tip, UINT message, const CImageButton* hot);

    UINT delayMs = kDelayMs;
    // The button whose tip is shown or pending, 0 for none.
    int current = 0;
    // A click hides the tip for good until the pointer reaches another button.
    int clicked = 0;
};
