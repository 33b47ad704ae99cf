#include "CImageCtrlEx.h"

CImageCtrlEx::CImageCtrlEx()
{
    SetClassName(L"ImageList");
}

CImageCtrlEx::~CImageCtrlEx() = default;

LRESULT CImageCtrlEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) list.hwnd = hwnd;
    return list.ProcessMessage(message, wParam, lParam) ? 1 : 0;
}
