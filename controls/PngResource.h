#pragma once
#include <windows.h>
#include <gdiplus.h>

// Loads the resource of type "PNG" with this identifier from the executable. The caller owns the
// result (null on any failure; a PNG that does not decode gives an image with an error status).
Gdiplus::Image* LoadPngResource(int id);

// A new width x height 32-bit ARGB bitmap holding strip's pixels from column x, row 0. The
// caller owns the result.
Gdiplus::Bitmap* CropImage(Gdiplus::Image& strip, int x, int width, int height);
