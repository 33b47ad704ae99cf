#include "TitleBar.h"

#include <cwchar>
#include <vector>

#include "CImageButton.h"
#include "CImagePaint.h"
#include "CImageStatic.h"
#include "SkinDrawing.h"
#include "GameMessages.h"
#include "OperatorSite.h"
#include "WebLinks.h"

namespace title_bar {
namespace {

struct ButtonLayout {
    int id;
    int right;   // distance of the right edge from the client's right edge at creation
    int width;
    int top, bottom;
    int rightOffset;
    int images[4];   // normal, hover, pressed, extra; 0 = none
    int strip;       // two-frame picture for quick links, 0 = none
    bool visible;
    const wchar_t* caption;
};

// Quick links stand 12 pixels further left after the first layout than at creation: their
// anchor distances, not their creation rectangles, decide where they end up.
constexpr ButtonLayout kButtons[] = {
    {CImagePaint::kCloseId, 0, 25, 0, 25, 1, {209, 210, 210, 209}, 0, true, nullptr},
    {CImagePaint::kMaximizeId, 25, 25, 0, 25, 25, {211, 212, 229, 211}, 0, false, L"最大化"},
    {CImagePaint::kRestoreId, 25, 25, 0, 25, 25, {215, 216, 158, 215}, 0, true, L"还原"},
    {CImagePaint::kMinimizeId, 50, 25, 0, 25, 50, {213, 214, 157, 213}, 0, true, L"最小化"},
    {kFullScreenId, 75, 25, 0, 25, 75, {231, 232, 230, 231}, 0, true, L"全屏(F10)"},
    {kToolsId, 100, 25, 0, 25, 100, {196, 208, 234, 196}, 0, true, L"工具"},
    {kCustomerServiceId, 113, 41, 2, 24, 125, {}, 138, true, nullptr},
    {kOfficialSiteId, 158, 41, 2, 24, 170, {}, 139, true, nullptr},
    {kOfficialSite2Id, 203, 41, 2, 24, 215, {}, 140, true, nullptr},
    {kRechargeId, 248, 41, 2, 24, 260, {}, 141, true, nullptr},
};

}  // namespace

void Build(CImagePaint& painter, const RECT& c)
{
    if (CImageStatic* background = painter.AddStatic(
            RECT{c.left, c.top, c.left + 1366, c.top + kHeight}, 217, kBackgroundKey, true)) {
        background->rightOffset = 0;
        background->fixedLeft = 0;
    }
    painter.AddStatic(RECT{5, 5, 21, 21}, 137, kIconKey, false);

    for (const ButtonLayout& layout : kButtons) {
        const bool onBar = layout.top == 0;
        const RECT r = {c.right - layout.right - layout.width, onBar ? c.top : layout.top,
                        c.right - layout.right, onBar ? c.top + layout.bottom : layout.bottom};
        const int* images = layout.images;
        CImageButton* button =
            painter.AddButton(layout.id, r, 0, images[0], images[1], images[2], images[3]);
        if (!button) continue;
        button->rightOffset = layout.rightOffset;
        button->visible = layout.visible;
        if (layout.strip) button->SetImageStrip(layout.strip);
        if (layout.caption) {
            button->SetText(layout.caption);
            button->showText = false;
        }
    }
}

const wchar_t* PagePath(int id)
{
    switch (id) {
    case kCustomerServiceId: return operator_site::kCustomerServicePath;
    case kOfficialSiteId:
    case kOfficialSite2Id: return operator_site::kOfficialSitePath;
    case kRechargeId: return operator_site::kRechargePath;
    default: return nullptr;
    }
}

bool OnClick(int id, HWND gameWindow, const std::function<void()>& openToolsMenu)
{
    switch (id) {
    case CImagePaint::kCloseId: return false;
    case kToolsId:
        if (openToolsMenu) openToolsMenu();
        return true;
    case kFullScreenId:
        PostMessageW(gameWindow, WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
        return true;
    default:
        if (const wchar_t* path = PagePath(id)) {
            web_links::OpenInBrowser(operator_site::Address(path).c_str());
        }
        return true;
    }
}

GdipPtr<Gdiplus::Font> MakeTitleFont() { return MakeFontWithFallback(L"Tahoma"); }

namespace {

// The one-line width of text as the title format lays it out.
float LineWidth(Gdiplus::Graphics& g, const std::wstring& text, const Gdiplus::Font* font)
{
    if (text.empty()) return 0.0f;
    GdipPtr<Gdiplus::StringFormat> format(
        new Gdiplus::StringFormat(Gdiplus::StringFormatFlagsNoWrap, LANG_NEUTRAL));
    Gdiplus::RectF box;
    if (g.MeasureString(text.c_str(), static_cast<INT>(text.size()), font,
                        Gdiplus::PointF(0.0f, 0.0f), format.Get(), &box) != Gdiplus::Ok) {
        return 0.0f;
    }
    return box.Width;
}

bool IsWideScript(wchar_t c) { return c >= 0x2E80; }

// Lengths at which text may be cut: after a space run ends a word, or around a CJK character.
std::vector<size_t> WordCuts(const std::wstring& text)
{
    std::vector<size_t> cuts;
    for (size_t i = 1; i < text.size(); ++i) {
        const wchar_t before = text[i - 1], here = text[i];
        const bool wordEnds = here == L' ' && before != L' ';
        if (wordEnds || IsWideScript(before) || IsWideScript(here)) cuts.push_back(i);
    }
    return cuts;
}

// The longest of the candidate lengths whose prefix plus the ellipsis fits; 0 when none does.
size_t LongestFitting(Gdiplus::Graphics& g, const std::wstring& text, const Gdiplus::Font* font,
                      float width, const std::vector<size_t>& cuts)
{
    size_t lo = 0, hi = cuts.size();  // cuts[0 .. lo) fit, cuts[hi ..) do not
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (LineWidth(g, text.substr(0, cuts[mid]) + L"…", font) <= width) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo ? cuts[lo - 1] : 0;
}

}  // namespace

std::wstring FitTitle(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                      float width)
{
    std::wstring whole(text ? text : L"", text ? wcsnlen(text, 259) : 0);
    if (whole.empty() || !font || LineWidth(g, whole, font) <= width) return whole;
    size_t cut = LongestFitting(g, whole, font, width, WordCuts(whole));
    if (!cut) {
        std::vector<size_t> every;
        for (size_t i = 1; i < whole.size(); ++i) every.push_back(i);
        cut = LongestFitting(g, whole, font, width, every);
    }
    std::wstring fitted = whole.substr(0, cut);
    while (!fitted.empty() && fitted.back() == L' ') fitted.pop_back();
    return fitted + L"…";
}

Gdiplus::Status DrawTitleText(Gdiplus::Graphics& g, const wchar_t* text, const Gdiplus::Font* font,
                              const Gdiplus::Brush* brush, bool gameView)
{
    if (!gameView || !text || !text[0]) return Gdiplus::Ok;
    const Gdiplus::RectF layout(kTextLeft, kTextTop, kTextWidth, kTextHeight);
    // A paint that does not reach the title (a hovered button) spares the measuring below.
    Gdiplus::RectF visible;
    if (g.GetVisibleClipBounds(&visible) == Gdiplus::Ok && !visible.IntersectsWith(layout))
        return Gdiplus::Ok;
    GdipPtr<Gdiplus::StringFormat> format = MakeCaptionFormat(Gdiplus::StringAlignmentNear);
    // Cut here rather than left to the format's trimming alone: the line is cut the same way
    // where the trimming is missing (Wine's GDI+ wraps the text instead).
    const std::wstring line = FitTitle(g, text, font, kTextWidth);
    return g.DrawString(line.c_str(), static_cast<INT>(line.size()), font, layout, format.Get(),
                        brush);
}

}  // namespace title_bar
