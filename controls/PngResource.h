#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

// Loads the resource of type "PNG" with this identifier from the executable (null on any
// failure; a PNG that does not decode gives an image with an error status).
// A picture that a PicturePreload decoded already is taken from there.
GdipPtr<Gdiplus::Image> LoadPngResource(int id);

// The same, always decoded here and now.
GdipPtr<Gdiplus::Image> DecodePngResource(int id);

// A new width x height 32-bit ARGB bitmap holding strip's pixels from column x, row 0.
GdipPtr<Gdiplus::Bitmap> CropImage(Gdiplus::Image& strip, int x, int width, int height);
