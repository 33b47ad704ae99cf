#pragma once
// The drawing steps every skinned window shares, written once: fonts, caption formats, brushes,
// the background fill, the buffered paint, the tool-window style and pointer-leave tracking.
#include <windows.h>
#include <gdiplus.h>

#include <functional>

#include "UniqueHandle.h"

// A regular 9-point font of family; GDI+'s generic sans-serif family when that family is not
// installed (without one GDI+ would draw no text at all).
GdipPtr<Gdiplus::Font> MakeFontWithFallback(const wchar_t* family);
// The caption font of skinned elements: "宋体" with the fallback above.
GdipPtr<Gdiplus::Font> MakeDefaultFont();

// The format of one caption: aligned as asked across, centred from top to bottom, cut with an
// ellipsis at a word when it does not fit.
GdipPtr<Gdiplus::StringFormat> MakeCaptionFormat(Gdiplus::StringAlignment alignment);

// A brush of color, or null when the colour is fully transparent and would fill nothing.
GdipPtr<Gdiplus::SolidBrush> BrushIfVisible(Gdiplus::ARGB color);

// Sets up g, drawing on dc, as every skinned surface draws: antialiased shapes, and GDI text
// over a transparent background.
void PrepareSkinGraphics(Gdiplus::Graphics& g, HDC dc);

// Fills r grown by one pixel to the left and top, so that antialiased edges leave no seam.
void FillBackground(Gdiplus::Graphics& g, const Gdiplus::Brush* brush, const RECT& r);

// One WM_PAINT: BeginPaint, then draw in client coordinates on an off-screen surface just the
// size of area, the part of copyRect that can reach the screen (children of a WS_CLIPCHILDREN
// window left out), which is copied to the window; EndPaint. draw is not called when that part
// is empty or the surface could not be made.
void PaintBuffered(HWND hwnd, const RECT& copyRect,
                   const std::function<void(HDC dc, const RECT& area)>& draw);

// Makes hwnd a tool window: no taskbar button.
void MakeToolWindow(HWND hwnd);

// The style bits a skinned window takes at WM_NCCREATE in place of WS_CAPTION (its caption is
// drawn): WS_CLIPCHILDREN, WS_MAXIMIZEBOX and the class-specific bit 0x0100.
constexpr LONG_PTR kSkinnedStyleBits = WS_CLIPCHILDREN | WS_MAXIMIZEBOX | 0x00000100;
// Takes WS_CAPTION off hwnd and sets kSkinnedStyleBits.
void MakeSkinnedStyle(HWND hwnd);

// Asks for WM_MOUSEHOVER (after 10 ms) and WM_MOUSELEAVE on hwnd; false when refused.
bool TrackMouseLeave(HWND hwnd);
