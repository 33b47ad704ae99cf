#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>

#include "CWindowCtrl.h"
#include "UniqueHandle.h"

// A small skinned tooltip: when timer 1100 fires it measures its text, places itself 15 pixels
// right of and below the pointer (inside the work area of the pointer's monitor), sizes itself to
// the text and shows without taking activation.
class CImageTipCtrl : public CWindowCtrl {
public:
    static const UINT_PTR kShowTimer = 1100;

    CImageTipCtrl();
    ~CImageTipCtrl() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    void SetBackColor(Gdiplus::ARGB color);
    void SetTextColor(Gdiplus::ARGB color);
    void SetBorderColor(Gdiplus::ARGB color);
    // The text's bounding box in the 500 x 200 layout box, truncated to whole pixels; 0 x 0
    // before the window has its font.
    SIZE MeasureText();
    // Text cut to 259 characters.
    void SetText(const wchar_t* tip);
    // Writes the text and lets the tip show at the pointer after delayMs (hides it meanwhile);
    // the same text while the tip is on screen changes nothing.
    void ShowTip(const wchar_t* tip, UINT delayMs);
    // Stops a pending show and hides the tip.
    void HideTip();
    // Background, text and border for a client rectangle, into dc.
    void DrawTip(HDC dc, const RECT& client);

    wchar_t text[260] = {};
    GdipPtr<Gdiplus::Font> font;
    GdipPtr<Gdiplus::SolidBrush> backBrush;
    GdipPtr<Gdiplus::SolidBrush> textBrush;
    GdipPtr<Gdiplus::Pen> borderPen;
    // Replaces GetCursorPos when set.
    std::function<POINT()> cursorSource;

private:
    int TextLength() const;
    void MakeResources();
    void ReleaseResources();
    void Paint();
};

// The tip's window rectangle for a pointer position and a measured text size.
RECT TipRectFor(POINT cursor, SIZE textSize);
// The same inside a work area: a tip that would cross its right or bottom edge goes to the left
// of or above the pointer instead.
RECT TipRectFor(POINT cursor, SIZE textSize, const RECT& workArea);
