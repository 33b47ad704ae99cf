#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "CImagePaint.h"
#include "CWindowCtrl.h"
#include "ShadowRim.h"

class CFrameGame;
class CImageButton;

// The second top-level window: in the start-up view the 1154 x 704 picture with its buttons
// that carries the game window when dragged; in the game view a transparent frame 6 pixels
// larger than the game window with three faint rounded outlines, the window's drop shadow.
class CFrameBack : public CWindowCtrl {
public:
    static constexpr int kWidth = 1154;
    static constexpr int kHeight = 704;
    // Where the game window lies on the picture, and its size there.
    static constexpr int kGameOffsetX = 377;
    static constexpr int kGameOffsetY = 208;
    static constexpr int kGameWidth = 600;
    static constexpr int kGameHeight = 386;

    CFrameBack();
    ~CFrameBack() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void OnMove(int x, int y) override;
    void OnShowWindow(BOOL show, UINT status) override;

    // The painter's click hook; false skips the painter's built-in action.
    bool OnButtonClick(CImageButton* button);
    // The painter's overlay hook: the shadow outlines, in the game view only.
    void DrawShadowFrame(Gdiplus::Graphics& g);
    // Drops the picture and buttons: from now on the window is the game window's shadow frame.
    void EnterGameView();

    int shadowSize = 6;
    int cornerRadius = 3;
    ShadowRim rim;
    CImagePaint painter;
    CFrameGame* gameWindow = nullptr;  // not owned: the game window object owns this one
    bool gameView = false;
};
