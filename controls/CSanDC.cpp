#include "CSanDC.h"

CSanDC::CSanDC(HDC target, int width, int height, const RECT& copy)
    : copyRect(copy), targetDC(target)
{
    Make(width, height);
}

CSanDC::CSanDC(HDC target, const RECT& copy)
    : copyRect(copy), targetDC(target), origin{copy.left, copy.top}
{
    Make(copy.right - copy.left, copy.bottom - copy.top);
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
               copyRect.bottom - copyRect.top, memoryDC, copyRect.left - origin.x,
               copyRect.top - origin.y, SRCCOPY);
    }
    if (memoryDC && previousBitmap) SelectObject(memoryDC, previousBitmap);
    if (bitmap) DeleteObject(bitmap);
    if (memoryDC) DeleteDC(memoryDC);
}
