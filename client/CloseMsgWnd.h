#pragma once
#include <windows.h>

#include "CImageCtrl.h"

// The close question: a 295 x 190 picture with confirm (1001) and cancel (1002), centred over
// the window whose close button was pressed, run as a modal loop of its own.
class CloseMsgWnd : public CImageCtrl {
public:
    static constexpr int kWidth = 295;
    static constexpr int kHeight = 190;
    static constexpr int kConfirmId = 1001;
    static constexpr int kCancelId = 1002;
    static constexpr int kPictureKey = 1011;

    CloseMsgWnd() = default;
    ~CloseMsgWnd() override = default;

    void OnCreate(CREATESTRUCTW* cs) override;
    bool OnButtonClick(CImageButton* button) override;

    // 1 when the user confirmed, 2 for cancel or any other way the question ended.
    int ConfirmClose(HWND owner);

    // Top-left corner of a w x h window centred over the owner's window rectangle.
    static POINT PlaceOver(const RECT& owner, int w, int h);
};

// Asks once with a new question object of class "pelvardorsin"; the answer of ConfirmClose.
int AskToClose(HWND owner);
