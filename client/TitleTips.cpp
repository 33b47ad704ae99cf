#include "TitleTips.h"

#include "CImageButton.h"
#include "CImagePaint.h"
#include "CImageTipCtrl.h"
#include "TitleBar.h"

bool TitleTips::HasTip(int id)
{
    switch (id) {
    case CImagePaint::kMaximizeId:
    case CImagePaint::kRestoreId:
    case CImagePaint::kMinimizeId:
    case title_bar::kFullScreenId:
    case title_bar::kToolsId: return true;
    default: return false;
    }
}

void TitleTips::OnHover(CImageTipCtrl& tip, const CImageButton* button)
{
    const int id = button ? button->id : 0;
    if (id != clicked) clicked = 0;
    if (!button || !HasTip(id) || !button->text[0] || id == clicked) {
        if (current) tip.HideTip();
        current = 0;
        return;
    }
    if (id == current) return;
    current = id;
    tip.ShowTip(button->text, delayMs);
}

void TitleTips::OnMouseMessage(CImageTipCtrl& tip, UINT message, const CImageButton* hot)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (current) clicked = current;
        tip.HideTip();
        current = 0;
        return;
    case WM_MOUSELEAVE:
        tip.HideTip();
        current = 0;
        clicked = 0;
        return;
    case WM_MOUSEMOVE:
        // The painter reports only buttons it enters, not the plain bar it moves onto.
        if (!hot || hot->id != current) {
            if (current) tip.HideTip();
            current = 0;
            if (!hot || hot->id != clicked) clicked = 0;
        }
        return;
    default: return;
    }
}
