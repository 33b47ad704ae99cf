#include "CShadowCtrl.h"
#include "SkinDrawing.h"

CShadowCtrl::CShadowCtrl()
{
    SetClassName(L"ShadowCtrl");
}

CShadowCtrl::~CShadowCtrl() = default;

void CShadowCtrl::SetMenuColors() { rim.SetColors(ShadowRim::kMenuGreys); }

void CShadowCtrl::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);
    MakeToolWindow(hwnd);
    rim.MakePens();
    if (GetModuleHandleW(L"user32.dll")) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        updateLayered = LookUpUpdateLayeredWindow();
    }
}

void CShadowCtrl::OnDestroy() { rim.ReleasePens(); }

void CShadowCtrl::OnShowWindow(BOOL show, UINT)
{
    if (show) Render(255);
}

void CShadowCtrl::Render(BYTE alpha)
{
    if (!updateLayered || !hwnd) return;
    CLayeredSurface surface(hwnd);
    if (!surface.Graphics()) return;
    rim.Draw(*surface.Graphics(), RECT{0, 0, surface.width, surface.height}, margin, radius);
    surface.Push(updateLayered, hwnd, alpha);
}

void CShadowCtrl::FollowWindow(HWND decorated)
{
    RECT r = {};
    if (decorated) GetWindowRect(decorated, &r);
    r = ShadowRectFor(r, margin);
    if (hwnd && IsWindow(hwnd)) {
        MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    Render(255);
}
