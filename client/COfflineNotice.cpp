#include "COfflineNotice.h"

#include "CImageButton.h"
#include "CImageStatic.h"
#include "SkinDrawing.h"

#include <algorithm>

bool IsConnectionError(long status)
{
    switch (static_cast<unsigned long>(status)) {
    case 0x800C0004UL:  // INET_E_CANNOT_CONNECT
    case 0x800C0005UL:  // INET_E_RESOURCE_NOT_FOUND
    case 0x800C0007UL:  // INET_E_DATA_NOT_AVAILABLE
    case 0x800C0008UL:  // INET_E_DOWNLOAD_FAILURE
    case 0x800C000BUL:  // INET_E_CONNECTION_TIMEOUT
        return true;
    default: return false;
    }
}

int RetryDelaySeconds(int failures)
{
    if (failures <= 1) return 5;
    if (failures == 2) return 15;
    if (failures == 3) return 30;
    return 60;
}

std::wstring OfflineStatusLine(int seconds)
{
    if (seconds <= 0) return L"正在重新连接…";
    wchar_t count[16] = {};
    wsprintfW(count, L"%d", seconds);  // the system's formatter, not the C library's printf
    return count + std::wstring(L" 秒后自动重试");
}

COfflineNotice::COfflineNotice()
{
    SetClassName(kClassName);
}

COfflineNotice::~COfflineNotice() = default;

bool COfflineNotice::CreateOver(HWND parent, HWND pageWindow)
{
    page = pageWindow;
    // Hidden until a navigation fails; clipped by its siblings so the page never paints over it.
    Create(0, kClassName, kHeadline, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent);
    if (!hwnd) return false;
    FollowPage();
    return true;
}

void COfflineNotice::OnCreate(CREATESTRUCTW*)
{
    painter.SetBackColor(kBackColor);
    painter.AddStatic(RECT{0, 0, kPanelWidth, kPanelHeight}, kPanelPicture, kPanelKey, false);
    painter.AddButton(kRetryId, kRetryRect, 0, kRetryNormal, kRetryHover, kRetryHover, kRetryNormal);
    font = MakeDefaultFont();
    textBrush = BrushIfVisible(0xFFF0DEB2);
}

void COfflineNotice::OnDestroy()
{
    KillTimer(hwnd, kTickTimer);
    font.Reset();
    textBrush.Reset();
}

void COfflineNotice::OnSize(UINT, int cx, int cy)
{
    // The panel stays in the middle of the page area, whatever its size.
    panel = POINT{(cx - kPanelWidth) / 2, (cy - kPanelHeight) / 2};
    if (CImageStatic* picture = painter.FindStatic(kPanelKey)) {
        picture->rect = RECT{panel.x, panel.y, panel.x + kPanelWidth, panel.y + kPanelHeight};
    }
    if (CImageButton* button = painter.FindButton(kRetryId)) {
        RECT r = kRetryRect;
        OffsetRect(&r, panel.x, panel.y);
        button->SetRect(r);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool COfflineNotice::Showing() const { return hwnd && IsWindowVisible(hwnd); }

int COfflineNotice::SecondsLeft() const
{
    if (retrying || !retryAt) return 0;
    const ULONGLONG now = GetTickCount64();
    if (now >= retryAt) return 0;
    return static_cast<int>((retryAt - now + 999) / 1000);
}

bool COfflineNotice::OnNavigationEnded(const wchar_t* url, long status)
{
    if (!hwnd) return false;
    if (!IsConnectionError(status)) {
        Hide();
        return false;
    }
    if (url && *url) failedUrl = url;
    ++failures;
    retrying = false;
    retryAt = GetTickCount64() + 1000ULL * RetryDelaySeconds(failures);
    // A short tick, so that the count-down shows each second while the retry keeps its time.
    SetTimer(hwnd, kTickTimer, 200, nullptr);
    Show();
    UpdateStatus();
    return true;
}

void COfflineNotice::RetryNow()
{
    if (!hwnd) return;
    KillTimer(hwnd, kTickTimer);
    retrying = true;
    UpdateStatus();
    if (retry && !failedUrl.empty()) retry(failedUrl.c_str());
}

void COfflineNotice::OnTimer(UINT_PTR id)
{
    if (id != kTickTimer) return;
    if (GetTickCount64() >= retryAt) {
        RetryNow();
    } else {
        UpdateStatus();
    }
}

bool COfflineNotice::OnButtonClick(CImageButton* button)
{
    if (button && button->id == kRetryId) RetryNow();
    return true;
}

void COfflineNotice::FollowPage()
{
    if (!hwnd || !page) return;
    RECT r = {};
    GetWindowRect(page, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    RECT now = {};
    GetWindowRect(hwnd, &now);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&now), 2);
    if (!EqualRect(&r, &now))
        MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void COfflineNotice::Show()
{
    if (Showing()) return;
    FollowPage();
    // The page goes while the notice takes its place; nothing is activated or focused.
    if (page) ShowWindow(page, SW_HIDE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void COfflineNotice::Hide()
{
    KillTimer(hwnd, kTickTimer);
    failures = 0;
    retrying = false;
    retryAt = 0;
    if (!Showing()) return;
    ShowWindow(hwnd, SW_HIDE);
    if (!page) return;
    ShowWindow(page, SW_SHOWNA);
    // The keyboard goes back to the page when it was ours to give: our window is the active one
    // and the focus did not move elsewhere in it meanwhile.
    const HWND top = GetAncestor(hwnd, GA_ROOT);
    const HWND focus = GetFocus();
    if (GetForegroundWindow() == top && (!focus || focus == top)) SetFocus(page);
}

RECT COfflineNotice::StatusRect() const
{
    return RECT{panel.x + 100, panel.y + kStatusLineY - 10, panel.x + kPanelWidth - 100,
                panel.y + kStatusLineY + 10};
}

void COfflineNotice::UpdateStatus()
{
    const int seconds = SecondsLeft();
    if (seconds == shownSeconds) return;
    shownSeconds = seconds;
    // The window text carries the whole notice, for screen readers and for tools that look in.
    SetWindowTextW(hwnd, (std::wstring(kHeadline) + L"\n" + OfflineStatusLine(seconds)).c_str());
    const RECT r = StatusRect();
    InvalidateRect(hwnd, &r, FALSE);
}

void COfflineNotice::OnDrawOverlay(Gdiplus::Graphics& g)
{
    if (!font || !textBrush) return;
    const std::wstring line = OfflineStatusLine(SecondsLeft());
    const GdipPtr<Gdiplus::StringFormat> format = MakeCaptionFormat(Gdiplus::StringAlignmentCenter);
    if (!format) return;
    const RECT r = StatusRect();
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top),
                             static_cast<Gdiplus::REAL>(r.right - r.left),
                             static_cast<Gdiplus::REAL>(r.bottom - r.top));
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    g.DrawString(line.c_str(), static_cast<INT>(line.size()), font.Get(), box, format.Get(),
                 textBrush.Get());
}
