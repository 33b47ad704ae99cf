#pragma once
#include <windows.h>

#include "CImageCtrl.h"

#include <vector>

// The close question: a 295 x 190 picture with confirm (1001) and cancel (1002), centred over
// the window whose close button was pressed, run as a modal loop of its own. It is modal to the
// thread's windows: they are disabled while it is up and enabled again however it ends.
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
    void OnDestroy() override;
    bool OnButtonClick(CImageButton* button) override;

    // 1 when the user confirmed, 2 for cancel or any other way the question ended.
    int ConfirmClose(HWND owner);

    // Top-left corner of a w x h window centred over the owner's window rectangle.
    static POINT PlaceOver(const RECT& owner, int w, int h);

private:
    void DisableOthers();
    void EnableOthers();
    std::vector<HWND> disabledOwners;  // the windows this question disabled, enabled again by it
};

// Asks with a new question object of class "pelvardorsin"; the answer of ConfirmClose. While a
// question is already up, that one comes to the front instead and the answer is 2.
int AskToClose(HWND owner);
