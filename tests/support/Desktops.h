#pragma once
#include <windows.h>

#include "ScreenPlacement.h"

// Monitors of the placement tables: a 1920 x 1080 screen with a taskbar on each edge, and a
// second monitor left of the primary one (negative coordinates).
namespace desktops {

using screen_placement::Monitor;

inline const Monitor kBottomBar = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
inline const Monitor kTopBar = {{0, 0, 1920, 1080}, {0, 40, 1920, 1080}};
inline const Monitor kLeftBar = {{0, 0, 1920, 1080}, {60, 0, 1920, 1080}};
inline const Monitor kRightBar = {{0, 0, 1920, 1080}, {0, 0, 1860, 1080}};
inline const Monitor kLeftSecond = {{-1920, 0, 0, 1080}, {-1920, 0, 0, 1040}};

}  // namespace desktops
