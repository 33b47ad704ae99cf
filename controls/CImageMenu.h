#pragma once
#include <memory>

#include "CImageCtrlEx.h"
#include "CShadowCtrl.h"

// A skinned popup menu: a 96-pixel-wide list window shown at a screen point, framed by a drop
// shadow and hidden as soon as it loses activation. A click on a row reaches the owner through
// list.onItemClick.
class CImageMenu : public CImageCtrlEx {
public:
    static const int kWidth = 96;

    CImageMenu();
    ~CImageMenu() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void OnMove(int x, int y) override;
    // A new height at the same place sends no WM_MOVE; the shadow has to fit all the same.
    void OnSize(UINT type, int cx, int cy) override;
    void OnShowWindow(BOOL show, UINT status) override;

    // Shows the menu with its top-left corner at p (screen coordinates), building the shadow and
    // the menu window when they do not exist.
    void ShowAt(POINT p);
    // Adds a row whose single button carries the caption, in the menu's look.
    CImageItem* AddMenuItem(int id, const wchar_t* caption);

    bool autoHide = true;
    std::unique_ptr<CShadowCtrl> shadow;
};
