#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UniqueHandle.h"

// Loads the resource of type "PNG" with this identifier from the executable (null on any
// failure; a PNG that does not decode gives an image with an error status).
GdipPtr<Gdiplus::Image> LoadPngResource(int id);

// The picture in these PNG bytes, as LoadPngResource gives it: a 32-bit picture in a bitmap of its
// own, which keeps neither the bytes nor a decoder.
GdipPtr<Gdiplus::Image> DecodePng(const void* bytes, size_t size);

// A new width x height 32-bit ARGB bitmap holding strip's pixels from column x, row 0.
GdipPtr<Gdiplus::Bitmap> CropImage(Gdiplus::Image& strip, int x, int width, int height);
