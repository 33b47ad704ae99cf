#include "CloseMsgWnd.h"
#include "CImageButton.h"
#include "ThreadWindows.h"
#include "ZeroFilled.h"

namespace {

// The question on the screen, if any: one at a time.
CloseMsgWnd* openQuestion = nullptr;

}  // namespace

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
    DisableOthers();
    RunModalLoop();
    EnableOthers();
    return modalResult;
}

void CloseMsgWnd::DisableOthers()
{
    if (!hwnd) return;
    const auto enabled = [this](HWND h) { return h != hwnd && IsWindowVisible(h) && IsWindowEnabled(h); };
    for (HWND h : ThreadWindowsWhere(enabled)) {
        EnableWindow(h, FALSE);
        disabledOwners.push_back(h);
    }
}

void CloseMsgWnd::EnableOthers()
{
    for (HWND h : disabledOwners) {
        if (IsWindow(h)) EnableWindow(h, TRUE);
    }
    disabledOwners.clear();
}

void CloseMsgWnd::OnDestroy()
{
    // Before the question goes, so that the activation falls back to its owner.
    EnableOthers();
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
    if (openQuestion && openQuestion->hwnd && IsWindow(openQuestion->hwnd)) {
        SetWindowPos(openQuestion->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(openQuestion->hwnd);
        return 2;
    }
    // One object per question.
    return WithZeroFilled<CloseMsgWnd>([owner](CloseMsgWnd& question) {
        question.SetClassName(L"pelvardorsin");
        CloseMsgWnd* const outer = openQuestion;
        openQuestion = &question;
        const int answer = question.ConfirmClose(owner);
        openQuestion = outer;
        return answer;
    });
}
