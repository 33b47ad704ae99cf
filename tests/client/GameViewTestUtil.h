#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Helpers shared by the game-view tests: message boxes of this process, window texts.
namespace gameview_test {

// Visible top-level "#32770" windows of this process (message boxes).
std::vector<HWND> MessageBoxes();
std::wstring WindowText(HWND hwnd);
// Answers a message box as its button would.
void Answer(HWND box, int buttonId);
// Ids of the visible buttons of a dialog.
std::vector<int> VisibleButtons(HWND dialog);

}  // namespace gameview_test

#include <gdiplus.h>

#include "BossKey.h"
#include "CImageCtrl.h"
#include "CImageMenu.h"
#include "CImageTipCtrl.h"
#include "UniqueHandle.h"
#include "TitleTips.h"
#include "ToolsMenu.h"
#include "TrayMenu.h"

namespace gameview_test {

// Stands in for the game window: a CImageCtrl wired to the title bar, tools menu, tooltips,
// boss key and tray exactly as the game window wires them.
class GameWindow : public CImageCtrl {
public:
    GameWindow();
    ~GameWindow() override;

    // A visible 600 x 386 window at (100, 80); then the game view's title bar at that size and
    // the tooltip window.
    bool Open();
    void EnterGameView();
    void Close();

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnButtonClick(CImageButton* button) override;
    bool OnButtonHover(CImageButton* button) override;
    void OnDrawOverlay(Gdiplus::Graphics& g) override;

    GdipPtr<Gdiplus::Font> titleFont;
    GdipPtr<Gdiplus::SolidBrush> titleBrush;
    CImageMenu toolsMenu;
    CImageMenu trayMenu;
    CImageTipCtrl toolTip;
    bool gameView = false;
    wchar_t titleText[260] = {};
    NOTIFYICONDATAW trayIcon = {};
    bool bossHidden = false;
    BossKey bossKey;
    ToolsMenu tools{toolsMenu};
    TrayMenu tray{*this, trayIcon, bossHidden, trayMenu};
    TitleTips tips;
    int refreshes = 0;
};

}  // namespace gameview_test
