#pragma once
#include <windows.h>

// Where popups go on a desktop of one or more monitors, each with a taskbar on any edge. The
// arithmetic is in plain functions of their inputs; the two queries read the system.
namespace screen_placement {

// A monitor's whole rectangle and its work area (the part no taskbar covers).
struct Monitor {
    RECT whole;
    RECT work;
};

// The monitor under a screen point (the nearest one when the point is on none).
Monitor MonitorAt(POINT p);
// The monitor that holds most of a window (the nearest one when it is on none).
Monitor MonitorOf(HWND window);

// r moved (not resized) so that it lies inside area; where it is larger than area its left or
// top edge is kept on area's left or top edge.
RECT KeepInside(const RECT& r, const RECT& area);

// A size x box whose top-left corner would be at preferred: where that crosses the work area's
// right or bottom edge the box goes to the other side of the cursor or button, with its right or
// bottom edge at flipped, and whatever still sticks out is moved inside the work area.
RECT PlaceFlipping(POINT preferred, POINT flipped, SIZE size, const RECT& work);

// The maximised position and size a window on monitor m takes, as WM_GETMINMAXINFO wants them:
// the work area, with its position measured from the monitor's top-left corner.
struct MaximizedPlace {
    POINT position;
    POINT size;
};
MaximizedPlace MaximizedOn(const Monitor& m);

}  // namespace screen_placement
