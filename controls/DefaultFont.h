#pragma once
#include <windows.h>
#include <gdiplus.h>

// The caption font of skinned elements: "宋体", 9 points, regular; GDI+'s generic sans-serif
// family when that family is not installed. The caller owns the result.
Gdiplus::Font* MakeDefaultFont();
