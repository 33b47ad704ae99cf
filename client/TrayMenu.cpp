#include "TrayMenu.h"

#include <algorithm>

#include "CImageButton.h"
#include "CImageCtrl.h"
#include "CImageItem.h"
#include "CImageMenu.h"
#include "GameMessages.h"
#include "UrlCache.h"

#ifdef _WIN64
static_assert(sizeof(NOTIFYICONDATAW) == 976, "the full NOTIFYICONDATAW");
#endif

void TrayMenu::FillIcon(NOTIFYICONDATAW& icon, HWND hwnd)
{
    icon.cbSize = sizeof(NOTIFYICONDATAW);
    icon.hWnd = hwnd;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_TRAY_ICON;
    icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ICON_APP));
}

POINT TrayMenu::Place(POINT cursor, const screen_placement::Monitor& m, int h)
{
    const RECT& work = m.work;
    const LONG bottom = (std::min)(cursor.y, work.bottom);
    const bool sideTaskbar = work.right - work.left < m.whole.right - m.whole.left;
    const LONG left = cursor.x - (sideTaskbar ? 96 : 30);
    const RECT r = screen_placement::KeepInside(
        RECT{left, bottom - h, left + CImageMenu::kWidth, bottom}, work);
    return POINT{r.left, r.top};
}

namespace {

// Visible top-level windows of this process in z-order, but for window and its owner (which
// follows it).
std::vector<HWND> OurVisibleWindows(HWND window)
{
    struct Search {
        HWND window, owner;
        std::vector<HWND> found;
    } search{window, GetWindow(window, GW_OWNER), {}};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (h != s->window && h != s->owner && pid == GetCurrentProcessId() &&
                IsWindowVisible(h))
                s->found.push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void TrayMenu::Hide()
{
    CopyBoundedText(icon.szTip, kProductTitle);
    Shell_NotifyIconW(NIM_ADD, &icon);
    if (dismissPopups) dismissPopups();
    HoldCacheMessage(true);
    // Owned windows stay on the screen when their owner hides, so they go first.
    hiddenWithWindow = OurVisibleWindows(window.hwnd);
    for (HWND h : hiddenWithWindow) ShowWindow(h, SW_HIDE);
    ShowWindow(window.hwnd, SW_HIDE);
    bossHidden = true;
}

void TrayMenu::BringBack()
{
    Shell_NotifyIconW(NIM_DELETE, &icon);
    ShowWindow(window.hwnd, SW_SHOW);
    InvalidateRect(window.hwnd, nullptr, TRUE);
    bossHidden = false;
    ShowHiddenWindows();
}

void TrayMenu::ShowHiddenWindows()
{
    // Bottom-most first, so that they keep their order above the window.
    for (auto it = hiddenWithWindow.rbegin(); it != hiddenWithWindow.rend(); ++it) {
        if (IsWindow(*it)) ShowWindow(*it, SW_SHOWNA);
    }
    hiddenWithWindow.clear();
    HoldCacheMessage(false);
}

void TrayMenu::OnHotKey(WPARAM id)
{
    if (id != static_cast<WPARAM>(HOTKEY_BOSS)) return;
    if (!bossHidden && IsWindowVisible(window.hwnd)) {
        Hide();
    } else if (bossHidden) {
        BringBack();
    }
}

bool TrayMenu::OnTrayIcon(WPARAM id, LPARAM mouseMessage)
{
    if (id != TRAY_ICON_ID) return true;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        BringBack();
    } else if (mouseMessage == WM_RBUTTONUP) {
        OpenMenu();
    }
    return false;
}

void TrayMenu::OpenMenu()
{
    if (!menu.hwnd || !IsWindow(menu.hwnd)) {
        menu.AddMenuItem(kSettingsId, L"系统设置");
        menu.AddMenuItem(kCloseId, L"关闭");
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    menu.ShowAt(Place(cursor, screen_placement::MonitorAt(cursor), menu.list.VisibleHeight()));
}

void TrayMenu::OnItemClick(CImageItem* row)
{
    const int id = row ? row->id : 0;
    const HWND menuWindow = menu.hwnd;
    if (id == kCloseId) {
        Shell_NotifyIconW(NIM_DELETE, &icon);
        if (menuWindow && IsWindow(menuWindow)) ShowWindow(menuWindow, SW_HIDE);
        if (closeClient) {
            closeClient();
        } else {
            window.modalResult = 1;
            window.modalRunning = false;
            DestroyWindow(window.hwnd);
        }
        return;
    }
    if (id == kSettingsId) {
        bossHidden = false;
        ShowWindow(window.hwnd, SW_SHOW);
        Shell_NotifyIconW(NIM_DELETE, &icon);
        InvalidateRect(window.hwnd, nullptr, TRUE);
        ShowHiddenWindows();
    }
    if (menuWindow && IsWindow(menuWindow)) {
        ShowWindow(menuWindow, SW_HIDE);
        DestroyWindow(menuWindow);
    }
}
