#include "CImageCtrl.h"
#include "CAppManager.h"
#include "CImageButton.h"
#include "ScreenPlacement.h"
#include "SkinDrawing.h"
#include "UniqueHandle.h"

#include <functional>
#include <utility>

CImageCtrl::CImageCtrl()
{
    SetClassName(L"ImageCtrl");
}

CImageCtrl::~CImageCtrl() = default;

bool CImageCtrl::OnButtonDown(CImageButton*) { return true; }
bool CImageCtrl::OnButtonClick(CImageButton*) { return true; }
bool CImageCtrl::OnButtonHover(CImageButton*) { return true; }
bool CImageCtrl::OnButtonRightDown(CImageButton*) { return true; }
bool CImageCtrl::OnButtonRightClick(CImageButton*) { return true; }
void CImageCtrl::OnDrawBackground(Gdiplus::Graphics&) {}
void CImageCtrl::OnDrawOverlay(Gdiplus::Graphics&) {}

LRESULT CImageCtrl::BorderHitTest(POINT p, int W, int H, int b, int h, bool resizable)
{
    if (!resizable) return HTCLIENT;
    const int x = p.x, y = p.y;
    if (x < b && y < h) return HTTOPLEFT;
    if (x <= b && y >= H - h) return HTBOTTOMLEFT;
    if (x > W - b && y < h) return HTTOPRIGHT;
    if (x >= W - b && y >= H - h) return HTBOTTOMRIGHT;
    if (x < b) return HTLEFT;
    if (x >= W - b) return HTRIGHT;
    if (y < h) return HTTOP;
    if (y > H - h) return HTBOTTOM;
    return HTCLIENT;
}

void CImageCtrl::CutCornerPolygon(int W, int H, POINT out[8])
{
    out[0] = {0, 1};
    out[1] = {1, 0};
    out[2] = {W - 1, 0};
    out[3] = {W, 1};
    out[4] = {W, H - 2};
    out[5] = {W - 2, H};
    out[6] = {2, H};
    out[7] = {0, H - 2};
}

void CImageCtrl::LimitSize(int& cx, int& cy, int fixedW, int fixedH, int minW, int minH)
{
    if (fixedW && fixedH) {
        cx = fixedW;
        cy = fixedH;
    }
    if (minW && minH) {
        cx = (std::max)(cx, minW);
        cy = (std::max)(cy, minH);
    }
}

void CImageCtrl::ApplyRegion()
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int W = client.right, H = client.bottom;
    GdiObject<HRGN> region;
    if (IsZoomed(hwnd)) {
        region.Reset(CreateRectRgn(0, 0, W, H));
    } else {
        POINT points[8];
        CutCornerPolygon(W, H, points);
        region.Reset(CreatePolygonRgn(points, 8, WINDING));
    }
    // From a successful SetWindowRgn on, the region belongs to the system.
    if (region && SetWindowRgn(hwnd, region.Get(), TRUE)) region.Detach();
}

void CImageCtrl::OnMinMaxInfo(MINMAXINFO* info)
{
    // Maximised on any monitor, the window fills that monitor's work area and leaves its
    // taskbar free, wherever the taskbar is.
    const screen_placement::MaximizedPlace place =
        screen_placement::MaximizedOn(screen_placement::MonitorOf(hwnd));
    info->ptMaxSize = place.size;
    info->ptMaxPosition = place.position;
    info->ptMinTrackSize.x = minWidth;
    info->ptMinTrackSize.y = minHeight;
}

LRESULT CImageCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    using std::placeholders::_1;
    switch (message) {
    case WM_NCCREATE: {
        painter.hwnd = hwnd;
        painter.SetOnButtonDown(std::bind(&CImageCtrl::OnButtonDown, this, _1));
        painter.SetOnButtonClick(std::bind(&CImageCtrl::OnButtonClick, this, _1));
        painter.SetOnButtonHover(std::bind(&CImageCtrl::OnButtonHover, this, _1));
        painter.SetOnButtonRightDown(std::bind(&CImageCtrl::OnButtonRightDown, this, _1));
        painter.SetOnButtonRightClick(std::bind(&CImageCtrl::OnButtonRightClick, this, _1));
        painter.SetOnDrawBackground(std::bind(&CImageCtrl::OnDrawBackground, this, _1));
        painter.SetOnDrawOverlay(std::bind(&CImageCtrl::OnDrawOverlay, this, _1));
        MakeSkinnedStyle(hwnd);
        break;
    }
    case WM_NCHITTEST: {
        POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ScreenToClient(hwnd, &p);
        RECT client = {};
        GetClientRect(hwnd, &client);
        return BorderHitTest(p, client.right, client.bottom, borderWidth, borderHeight, resizable);
    }
    case WM_DESTROY: modalRunning = false; break;
    case WM_SIZE:
        if (roundCorners) ApplyRegion();
        break;
    case WM_GETMINMAXINFO: OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        LimitSize(pos->cx, pos->cy, fixedWidth, fixedHeight, minWidth, minHeight);
        break;
    }
    default: break;
    }
    return painter.ProcessMessage(message, wParam, lParam) ? 1 : 0;
}

bool CImageCtrl::RunModalLoop()
{
    if (!app || app->threadId != GetCurrentThreadId() || modalRunning) return false;
    if (!hwnd || !IsWindow(hwnd)) return false;
    const HWND window = hwnd;
    CAppManager* const loopApp = app;
    modalRunning = true;
    WPARAM exitCode = 0;
    // Read the handle first: once the window is gone the object may be too.
    const CAppManager::LoopEnd end = loopApp->PumpMessages(
        [this, window] { return !IsWindow(window) || !modalRunning; }, &exitCode);
    if (end == CAppManager::LoopEnd::Stopped) {
        if (IsWindow(window)) modalRunning = false;
        return true;
    }
    // The quit belongs to the loops outside this one as well.
    if (end == CAppManager::LoopEnd::Quit) PostQuitMessage(static_cast<int>(exitCode));
    modalRunning = false;
    return true;
}

void CImageCtrl::SetIcon(HICON given, int kind)
{
    const bool big = kind == ICON_BIG;
    const bool hasWindow = hwnd && IsWindow(hwnd);
    // Without a window a big copy would reach nobody; only the small copy is kept.
    if (big && !hasWindow) return;
    UniqueIcon copy(given ? CopyIcon(given) : nullptr);
    if (hasWindow) {
        SendMessageW(hwnd, WM_SETICON, static_cast<WPARAM>(kind),
                     reinterpret_cast<LPARAM>(copy.Get()));
    }
    // The copy this one displaces is ours and no longer on the window (each kind has its own
    // copy); icons the window had from elsewhere are not ours to destroy.
    (big ? bigIcon : icon) = std::move(copy);
}

bool CImageCtrl::LoadIconFromResource(int kind, int size)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    if (!group) return false;
    HGLOBAL groupData = LoadResource(module, group);
    if (!groupData) return false;
    auto* directory = static_cast<PBYTE>(LockResource(groupData));
    const int imageId =
        directory ? LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0) : 0;
    FreeResource(groupData);
    if (imageId <= 0) return false;

    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(imageId), RT_ICON);
    if (!image) return false;
    HGLOBAL imageData = LoadResource(module, image);
    if (!imageData) return false;
    auto* bits = static_cast<PBYTE>(LockResource(imageData));
    const DWORD bytes = SizeofResource(module, image);
    UniqueIcon loaded(bits ? CreateIconFromResourceEx(bits, bytes, TRUE, 0x00030000, size, size, 0)
                           : nullptr);
    FreeResource(imageData);
    if (!loaded) return false;
    SetIcon(loaded.Get(), kind);
    return true;
}
