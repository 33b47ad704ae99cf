#include "CImageTipCtrl.h"
#include "CImageButton.h"
#include "BoundedText.h"
#include "ScreenPlacement.h"
#include "SkinDrawing.h"

#include <cwchar>

RECT TipRectFor(POINT cursor, SIZE textSize)
{
    const int x = cursor.x + 15;
    const int y = cursor.y + 15;
    return RECT{x, y, x + textSize.cx + 5, y + textSize.cy + 4};
}

RECT TipRectFor(POINT cursor, SIZE textSize, const RECT& workArea)
{
    const RECT r = TipRectFor(cursor, textSize);
    // Flipped, the tip keeps clear of the pointer's hot spot by a small gap; the arrow itself
    // points up and left, so nothing of it is covered.
    constexpr LONG kGap = 2;
    return screen_placement::PlaceFlipping(POINT{r.left, r.top},
                                           POINT{cursor.x - kGap, cursor.y - kGap},
                                           SIZE{r.right - r.left, r.bottom - r.top}, workArea);
}

CImageTipCtrl::CImageTipCtrl() = default;
CImageTipCtrl::~CImageTipCtrl() = default;

void CImageTipCtrl::SetBackColor(Gdiplus::ARGB color)
{
    backBrush.Reset();
    backBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(color)));
}

void CImageTipCtrl::SetTextColor(Gdiplus::ARGB color)
{
    textBrush.Reset();
    textBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(color)));
}

void CImageTipCtrl::SetBorderColor(Gdiplus::ARGB color)
{
    borderPen.Reset();
    borderPen.Reset(new Gdiplus::Pen(Gdiplus::Color(color), 1.0f));
}

void CImageTipCtrl::MakeResources()
{
    font = MakeFontWithFallback(L"Tahoma");
    SetBackColor(0xFFFCFCFC);
    SetBorderColor(0xFF8A8A8A);
    SetTextColor(0xFF000000);
}

void CImageTipCtrl::ReleaseResources()
{
    font.Reset();
    backBrush.Reset();
    textBrush.Reset();
    borderPen.Reset();
}

void CImageTipCtrl::SetText(const wchar_t* tip) { CopyBoundedText(text, tip); }

int CImageTipCtrl::TextLength() const
{
    // Users write text directly; never read past the buffer even without a terminator.
    return static_cast<int>(wcsnlen(text, 259));
}

SIZE CImageTipCtrl::MeasureText()
{
    SIZE size = {0, 0};
    const int length = TextLength();
    if (!hwnd || !font || length == 0) return size;
    Gdiplus::Graphics g(hwnd);
    GdipPtr<Gdiplus::StringFormat> format = MakeCaptionFormat(Gdiplus::StringAlignmentNear);
    const Gdiplus::RectF layout(0.0f, 0.0f, 500.0f, 200.0f);
    Gdiplus::RectF box;
    if (g.MeasureString(text, length, font.Get(), layout, format.Get(), &box) != Gdiplus::Ok) {
        return size;
    }
    size.cx = static_cast<LONG>(box.Width);
    size.cy = static_cast<LONG>(box.Height);
    return size;
}

void CImageTipCtrl::OnTimer(UINT_PTR id)
{
    if (id != kShowTimer) return;
    KillTimer(hwnd, kShowTimer);
    POINT cursor = {};
    if (cursorSource) {
        cursor = cursorSource();
    } else {
        GetCursorPos(&cursor);
    }
    if (TextLength() == 0) return;
    const RECT r = TipRectFor(cursor, MeasureText(), screen_placement::MonitorAt(cursor).work);
    MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
}

void CImageTipCtrl::ShowTip(const wchar_t* tip, UINT delayMs)
{
    const bool same = tip && wcsncmp(text, tip, 259) == 0;
    SetText(tip);
    if (!hwnd || !IsWindow(hwnd)) return;
    // Asked again for the tip already on screen: leave it where it is rather than flicker.
    if (same && IsWindowVisible(hwnd)) return;
    if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    SetTimer(hwnd, kShowTimer, delayMs, nullptr);
}

void CImageTipCtrl::HideTip()
{
    if (!hwnd || !IsWindow(hwnd)) return;
    KillTimer(hwnd, kShowTimer);
    if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
}

void CImageTipCtrl::DrawTip(HDC dc, const RECT& w)
{
    if (!dc) return;
    Gdiplus::Graphics g(dc);
    PrepareSkinGraphics(g, dc);
    const int width = w.right - w.left;
    const int height = w.bottom - w.top;
    FillBackground(g, backBrush.Get(), w);
    const int length = TextLength();
    if (font && textBrush && length > 0) {
        GdipPtr<Gdiplus::StringFormat> format = MakeCaptionFormat(Gdiplus::StringAlignmentNear);
        const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(w.left + 2),
                                    static_cast<Gdiplus::REAL>(w.top + 2),
                                    static_cast<Gdiplus::REAL>(width - 4),
                                    static_cast<Gdiplus::REAL>(height - 4));
        g.DrawString(text, length, font.Get(), layout, format.Get(), textBrush.Get());
    }
    if (borderPen) {
        g.DrawRectangle(borderPen.Get(), static_cast<INT>(w.left), static_cast<INT>(w.top),
                        width - 1, height - 1);
    }
}

void CImageTipCtrl::Paint()
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    PaintBuffered(hwnd, client, [this, &client](HDC dc, const RECT&) { DrawTip(dc, client); });
}

LRESULT CImageTipCtrl::HandleMessage(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_CREATE: MakeResources(); break;
    case WM_DESTROY: ReleaseResources(); break;
    case WM_PAINT: Paint(); break;
    default: break;
    }
    return 0;
}
