#include "CImageMenu.h"
#include "CImageButton.h"
#include "CImageItem.h"
#include "SkinDrawing.h"

CImageMenu::CImageMenu()
{
    SetClassName(L"ImageMenu");
}

CImageMenu::~CImageMenu()
{
    if (shadow) {
        // The menu window is owned by the shadow's, so this takes the menu window down first.
        if (shadow->hwnd && IsWindow(shadow->hwnd)) DestroyWindow(shadow->hwnd);
        shadow.reset();
    }
}

CImageItem* CImageMenu::AddMenuItem(int id, const wchar_t* caption)
{
    CImageItem* item = list.AddItem(id);
    CImageButton* button = item->AddButton(id, RECT{1, 1, 94, 94}, caption);
    button->SetTextColors(0xFF0C0C0C, 0xFF0C0C0C, 0xFF0C0C0C);
    return item;
}

void CImageMenu::ShowAt(POINT p)
{
    const int height = list.VisibleHeight();
    const bool hasWindow = hwnd && IsWindow(hwnd);
    if (!hasWindow) {
        if (!shadow) {
            shadow = std::make_unique<CShadowCtrl>();
            shadow->SetMenuColors();
        }
        // A shadow window left from a destroyed menu has a WM_CLOSE on its way; a menu owned by
        // it would go down with it, so it is replaced now.
        if (shadow->hwnd && IsWindow(shadow->hwnd) && !IsWindowVisible(shadow->hwnd)) {
            DestroyWindow(shadow->hwnd);
        }
        if (!shadow->hwnd || !IsWindow(shadow->hwnd)) {
            shadow->Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, p.x, p.y, 0, 0,
                           nullptr);
        }
        if (!hwnd || !IsWindow(hwnd)) {
            Create(0, nullptr, nullptr, WS_POPUP, p.x, p.y, kWidth, height, shadow->hwnd);
        }
    }
    if (hwnd && IsWindow(hwnd)) {
        MoveWindow(hwnd, p.x, p.y, kWidth, height, TRUE);
        ShowWindow(hwnd, SW_SHOW);
    }
    if (hwnd) SetForegroundWindow(hwnd);
}

void CImageMenu::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);
    MakeToolWindow(hwnd);
    HWND topmost = (shadow && shadow->hwnd) ? shadow->hwnd : hwnd;
    SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    list.SetBackColor(0xFFEDF3FA);
}

void CImageMenu::OnDestroy()
{
    if (shadow && shadow->hwnd && IsWindow(shadow->hwnd)) {
        ShowWindow(shadow->hwnd, SW_HIDE);
        PostMessageW(shadow->hwnd, WM_CLOSE, 0, 0);
    }
}

void CImageMenu::OnMove(int, int)
{
    if (shadow) shadow->FollowWindow(hwnd);
}

void CImageMenu::OnSize(UINT, int, int)
{
    if (shadow) shadow->FollowWindow(hwnd);
}

void CImageMenu::OnShowWindow(BOOL show, UINT)
{
    if (show) SetForegroundWindow(hwnd);
    if (shadow && shadow->hwnd && IsWindow(shadow->hwnd)) {
        ShowWindow(shadow->hwnd, show ? SW_SHOW : SW_HIDE);
    }
}

LRESULT CImageMenu::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool deactivated = (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) ||
                             (message == WM_NCACTIVATE && wParam == 0);
    if (deactivated && autoHide && IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    return CImageCtrlEx::HandleMessage(message, wParam, lParam);
}
