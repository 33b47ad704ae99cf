#include "CShadowCtrl.h"
#include "SkinDrawing.h"

RECT ShadowRectFor(const RECT& decorated, int margin)
{
    RECT r = decorated;
    if (r.right - r.left != 0) InflateRect(&r, margin, margin);
    return r;
}

void AddRoundRectFigure(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom,
                        int a)
{
    const int d = 2 * a;
    path.AddArc(Gdiplus::Rect(left, top, d, d), 180.0f, 90.0f);
    path.AddLine(Gdiplus::Point(left + a, top), Gdiplus::Point(right - a, top));
    path.AddArc(Gdiplus::Rect(right - d, top, d, d), 270.0f, 90.0f);
    path.AddLine(Gdiplus::Point(right, top + a), Gdiplus::Point(right, bottom - a));
    path.AddArc(Gdiplus::Rect(right - d, bottom - d, d, d), 0.0f, 90.0f);
    path.AddLine(Gdiplus::Point(right - a, bottom), Gdiplus::Point(left + a, bottom));
    path.AddArc(Gdiplus::Rect(left, bottom - d, d, d), 90.0f, 90.0f);
    path.AddLine(Gdiplus::Point(left, top + a), Gdiplus::Point(left, bottom - a));
}

CShadowCtrl::CShadowCtrl()
{
    SetClassName(L"ShadowCtrl");
}

CShadowCtrl::~CShadowCtrl() = default;

void CShadowCtrl::MakePens()
{
    for (auto& pen : pens) pen.Reset();
    pens[0].Reset(new Gdiplus::Pen(Gdiplus::Color(colors[0]), 2.0f));
    pens[1].Reset(new Gdiplus::Pen(Gdiplus::Color(colors[1]), 2.0f));
    pens[2].Reset(new Gdiplus::Pen(Gdiplus::Color(colors[2]), 4.0f));
}

void CShadowCtrl::SetMenuColors()
{
    colors[0] = 0x0F9E9E9E;
    colors[1] = 0x329E9E9E;
    colors[2] = 0x649E9E9E;
    MakePens();
}

void CShadowCtrl::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);
    MakeToolWindow(hwnd);
    MakePens();
    if (GetModuleHandleW(L"user32.dll")) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        updateLayered = LookUpUpdateLayeredWindow();
    }
}

void CShadowCtrl::OnDestroy()
{
    for (auto& pen : pens) pen.Reset();
}

void CShadowCtrl::OnShowWindow(BOOL show, UINT)
{
    if (show) Render(255);
}

void CShadowCtrl::Outlines(int width, int height, Outline out[3]) const
{
    const int m = margin;
    const int r = radius;
    out[0] = {m - 5, m - 5, width + 4 - m, height + 4 - m, r + 1};
    out[1] = {m - 3, m - 3, width + 2 - m, height + 2 - m, r + 1};
    out[2] = {m, m, width - 1 - m, height - 1 - m, r - 1};
}

void CShadowCtrl::DrawRim(Gdiplus::Graphics& g, int width, int height)
{
    Outline outlines[3];
    Outlines(width, height, outlines);
    for (int i = 0; i < 3; ++i) {
        if (!pens[i]) continue;
        const Outline& o = outlines[i];
        GdipPtr<Gdiplus::GraphicsPath> path(new Gdiplus::GraphicsPath());
        AddRoundRectFigure(*path, o.left, o.top, o.right, o.bottom, o.radius);
        g.DrawPath(pens[i].Get(), path.Get());
    }
}

void CShadowCtrl::Render(BYTE alpha)
{
    if (!updateLayered || !hwnd) return;
    CLayeredSurface surface(hwnd);
    if (!surface.Graphics()) return;
    DrawRim(*surface.Graphics(), surface.width, surface.height);
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
