#include "CSanDC.h"

CSanDC::CSanDC(HDC target, int width, int height, const RECT& copy)
    : copyRect(copy), targetDC(target)
{
    memoryDC = CreateCompatibleDC(target);
    if (memoryDC && width > 0 && height > 0) bitmap = CreateCompatibleBitmap(target, width, height);
    if (memoryDC && bitmap) previousBitmap = SelectObject(memoryDC, bitmap);
}

CSanDC::~CSanDC()
{
    if (memoryDC && bitmap && targetDC) {
        BitBlt(targetDC, copyRect.left, copyRect.top, copyRect.right - copyRect.left,
               copyRect.bottom - copyRect.top, memoryDC, copyRect.left, copyRect.top, SRCCOPY);
    }
    if (memoryDC && previousBitmap) SelectObject(memoryDC, previousBitmap);
    if (bitmap) DeleteObject(bitmap);
    if (memoryDC) DeleteDC(memoryDC);
}
