#pragma once
// Pictures as tests read them: a resource's bytes, and a GDI+ bitmap's pixels.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

namespace testing_support {

// The bytes of one resource of a module; empty when it is missing.
inline std::vector<BYTE> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name)
{
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size == 0) return {};
    return std::vector<BYTE>(bytes, bytes + size);
}

// A bitmap's pixels as 32-bit ARGB values, row after row, read straight into the vector; empty
// when GDI+ cannot read them.
inline std::vector<uint32_t> ArgbPixels(Gdiplus::Bitmap& bitmap)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.GetWidth()) * bitmap.GetHeight());
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
    Gdiplus::BitmapData data = {};
    data.Width = bitmap.GetWidth();
    data.Height = bitmap.GetHeight();
    data.Stride = static_cast<INT>(bitmap.GetWidth() * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    const UINT mode = Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf;
    if (pixels.empty() || bitmap.LockBits(&all, mode, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return {};
    bitmap.UnlockBits(&data);
    return pixels;
}

}  // namespace testing_support
