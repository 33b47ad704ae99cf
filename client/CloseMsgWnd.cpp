#include "CloseMsgWnd.h"
#include "CImageButton.h"
#include "ZeroFilled.h"

POINT CloseMsgWnd::PlaceOver(const RECT& o, int w, int h)
{
    return POINT{o.left + (o.right - w - o.left) / 2, o.top + (o.bottom - h - o.top) / 2};
}

int CloseMsgWnd::ConfirmClose(HWND owner)
{
    modalResult = 2;
    if (GetSystemMetrics(SM_CXSCREEN) >= kWidth && GetSystemMetrics(SM_CYSCREEN) >= kHeight) {
        minWidth = kWidth;
        minHeight = kHeight;
    }
    RECT o = {};
    GetWindowRect(owner, &o);
    const POINT p = PlaceOver(o, minWidth, minHeight);
    if (!hwnd || !IsWindow(hwnd)) {
        Create(0, className, nullptr, kPopupStyle, p.x, p.y, minWidth, minHeight, owner);
    } else {
        MoveWindow(hwnd, p.x, p.y, minWidth, minHeight, TRUE);
    }
    RunModalLoop();
    return modalResult;
}

void CloseMsgWnd::OnCreate(CREATESTRUCTW*)
{
    painter.EnableLayered();
    painter.captionRect = RECT{0, 0, kWidth, kHeight};
    painter.dragEnabled = true;
    painter.AddButton(kConfirmId, RECT{50, 100, 118, 135}, 0, 144, 146, 146, 144);
    painter.AddButton(kCancelId, RECT{178, 100, 246, 135}, 0, 147, 148, 148, 147);
    painter.AddStatic(RECT{0, 0, kWidth, kHeight}, 142, kPictureKey, false);
}

bool CloseMsgWnd::OnButtonClick(CImageButton* button)
{
    if (!button) return true;
    if (button->id != kConfirmId && button->id != kCancelId) return true;
    modalResult = button->id == kConfirmId ? 1 : 2;
    modalRunning = false;
    DestroyWindow(hwnd);
    return false;
}

int AskToClose(HWND owner)
{
    // One object per question.
    return WithZeroFilled<CloseMsgWnd>([owner](CloseMsgWnd& question) {
        question.SetClassName(L"pelvardorsin");
        return question.ConfirmClose(owner);
    });
}
