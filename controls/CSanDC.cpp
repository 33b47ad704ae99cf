#include "CSanDC.h"

CSanDC::CSanDC(HDC target, int width, int height, const RECT& copy)
    : copyRect(copy), targetDC(target)
{
    Make(width, height);
}

CSanDC::CSanDC(HDC target, const RECT& copy) : copyRect(copy), targetDC(target)
{
    Make(copy.right - copy.left, copy.bottom - copy.top);
    if (memoryDC) SetViewportOrgEx(memoryDC, -copy.left, -copy.top, nullptr);
}

void CSanDC::Make(int width, int height)
{
    memoryDC = CreateCompatibleDC(targetDC);
    if (memoryDC && width > 0 && height > 0) bitmap = CreateCompatibleBitmap(targetDC, width, height);
    if (memoryDC && bitmap) previousBitmap = SelectObject(memoryDC, bitmap);
}

CSanDC::~CSanDC()
{
    if (memoryDC && bitmap && targetDC) {
        BitBlt(targetDC, copyRect.left, copyRect.top, copyRect.right - copyRect.left,
               copyRect.bottom - copyRect.top, memoryDC, copyRect.left,
               copyRect.top, SRCCOPY);
    }
    if (memoryDC && previousBitmap) SelectObject(memoryDC, previousBitmap);
    if (bitmap) DeleteObject(bitmap);
    if (memoryDC) DeleteDC(memoryDC);
}
