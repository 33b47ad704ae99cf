#include "TrayMenu.h"

#include <algorithm>

#include "CImageButton.h"
#include "CImageCtrl.h"
#include "CImageItem.h"
#include "CImageMenu.h"
#include "GameMessages.h"

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

POINT TrayMenu::Place(POINT cursor, const RECT& workArea, int screenWidth, int h)
{
    const int bottom = (std::min)(static_cast<int>(cursor.y),
                                  static_cast<int>(workArea.bottom - workArea.top));
    const bool sideTaskbar = workArea.right - workArea.left < screenWidth;
    return POINT{cursor.x - (sideTaskbar ? 96 : 30), bottom - h};
}

void TrayMenu::Hide()
{
    CopyBoundedText(icon.szTip, kProductTitle);
    Shell_NotifyIconW(NIM_ADD, &icon);
    ShowWindow(window.hwnd, SW_HIDE);
    bossHidden = true;
}

void TrayMenu::BringBack()
{
    Shell_NotifyIconW(NIM_DELETE, &icon);
    ShowWindow(window.hwnd, SW_SHOW);
    InvalidateRect(window.hwnd, nullptr, TRUE);
    bossHidden = false;
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
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    menu.ShowAt(Place(cursor, workArea, GetSystemMetrics(SM_CXSCREEN), menu.list.VisibleHeight()));
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
    }
    if (menuWindow && IsWindow(menuWindow)) {
        ShowWindow(menuWindow, SW_HIDE);
        DestroyWindow(menuWindow);
    }
}
