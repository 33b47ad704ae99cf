#include "ScreenPlacement.h"

namespace screen_placement {

namespace {

Monitor FromHandle(HMONITOR handle)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (handle && GetMonitorInfoW(handle, &info)) return Monitor{info.rcMonitor, info.rcWork};
    // No monitor answers (should not happen): the primary screen and its work area.
    Monitor m = {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, {}};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &m.work, 0)) m.work = m.whole;
    return m;
}

// Moves [start, start + length) into [low, high); the low edge wins when it does not fit.
LONG Shift(LONG start, LONG length, LONG low, LONG high)
{
    if (start + length > high) start = high - length;
    if (start < low) start = low;
    return start;
}

}  // namespace

Monitor MonitorAt(POINT p) { return FromHandle(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)); }

Monitor MonitorOf(HWND window)
{
    return FromHandle(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

RECT KeepInside(const RECT& r, const RECT& area)
{
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const LONG x = Shift(r.left, w, area.left, area.right);
    const LONG y = Shift(r.top, h, area.top, area.bottom);
    return RECT{x, y, x + w, y + h};
}

RECT PlaceFlipping(POINT preferred, POINT flipped, SIZE size, const RECT& work)
{
    LONG x = preferred.x, y = preferred.y;
    if (x + size.cx > work.right) x = flipped.x - size.cx;
    if (y + size.cy > work.bottom) y = flipped.y - size.cy;
    return KeepInside(RECT{x, y, x + size.cx, y + size.cy}, work);
}

MaximizedPlace MaximizedOn(const Monitor& m)
{
    return MaximizedPlace{{m.work.left - m.whole.left, m.work.top - m.whole.top},
                          {m.work.right - m.work.left, m.work.bottom - m.work.top}};
}

}  // namespace screen_placement
