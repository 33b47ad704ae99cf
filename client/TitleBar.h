#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <string>

#include "UniqueHandle.h"

class CImagePaint;

// The game view's 25-pixel title bar: its statics and buttons on the game window's painter,
// what a click on them does, and the title text drawn over them.
namespace title_bar {

// Element identifiers.
enum : int {
    kBackgroundKey = 10011,
    kIconKey = 10012,
    kToolsId = 10013,
    kFullScreenId = 10017,
    kCustomerServiceId = 10020,
    kOfficialSiteId = 10021,
    kOfficialSite2Id = 10022,
    kRechargeId = 10023,
};

constexpr int kHeight = 25;
// Where the title text is laid out (GDI+ units).
constexpr float kTextLeft = 22.0f, kTextTop = 4.0f, kTextWidth = 500.0f, kTextHeight = 20.0f;

// Adds the background and icon statics and every button to painter; client is the game
// window's client rectangle at that moment. Right-anchored buttons keep their distance to the
// right edge from then on.
void Build(CImagePaint& painter, const RECT& client);

// The operator page path a quick-link button opens, or null for other ids.
const wchar_t* PagePath(int id);

// The click actions of every title-bar button but close (10), which the game window confirms
// itself. The answer is what OnButtonClick returns: true lets the painter's built-in minimise
// and maximise/restore follow; false (only for close) stops it.
bool OnClick(int id, HWND gameWindow, const std::function<void()>& openToolsMenu);

// "Tahoma" 9 points, or the generic sans-serif family when Tahoma is missing.
GdipPtr<Gdiplus::Font> MakeTitleFont();

// text as it fits on one line of width pixels: whole, or cut after the last word that leaves
// room for a trailing "…" (after the last character that does, when not even one word fits).
// CJK characters count as words of their own.
std::wstring FitTitle(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                      float width);

// Draws text into the title layout box with a word ellipsis when it is too long; nothing unless
// the game view is on. Returns the drawing status (Ok when nothing had to be drawn).
Gdiplus::Status DrawTitleText(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                              const Gdiplus::Brush* brush, bool gameView);

}  // namespace title_bar
