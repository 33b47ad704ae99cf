#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <oaidl.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "BossKey.h"
#include "CFrameBack.h"
#include "CImageCtrl.h"
#include "CImageMenu.h"
#include "CImageTipCtrl.h"
#include "CMyHtml.h"
#include "COfflineNotice.h"
#include "UniqueHandle.h"
#include "TitleTips.h"
#include "ToolsMenu.h"
#include "TrayMenu.h"

class CImageButton;
class CImageItem;

// Places of the two windows of the start-up view on a work area (measured from the screen
// origin: the work area's own left and top are not added).
struct StartupPlaces {
    POINT backdrop;
    POINT game;
};
StartupPlaces StartupPlacement(const RECT& workArea);
// Top-left corner of a w x h window centred on the work area, in the same measure.
POINT CenteredOnWorkArea(const RECT& workArea, int w, int h);
// The page's rectangle in the game view: under the 25-pixel title bar, with a one-pixel border
// at the left, right and bottom unless the window is maximised.
RECT GameViewPageRect(const RECT& client, bool zoomed);
// An address that shows the pages have reached a game server ("type=3" or "client=1").
bool IsGameServerAddress(const wchar_t* address);

// The client's main window: the page window of the start-up view laid over the backdrop, and
// once the pages reach a game server the maximised, resizable game view with its own title bar
// and shadow frame.
class CFrameGame : public CImageCtrl {
public:
    static constexpr int kTitleBarHeight = 25;
    static constexpr DISPID kTitleCallId = 3000;

    // What document complete needs of the current document.
    struct DocumentTitle {
        bool hasDocument = false;
        bool hasTitle = false;
        std::wstring title;
    };

    CFrameGame();
    ~CFrameGame() override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void OnMove(int x, int y) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnTimer(UINT_PTR id) override;
    bool OnButtonHover(CImageButton* button) override;
    bool OnButtonClick(CImageButton* button) override;
    void OnDrawOverlay(Gdiplus::Graphics& g) override;

    // Creates the backdrop and the game window and runs the window's loop until it is gone.
    void RunGameWindow();
    // The creation part of RunGameWindow for a given work area; false without a game window.
    bool CreateGameWindows(const RECT& workArea);
    // The window that takes the page's keys: the browser control's innermost window.
    HWND PageWindow() const;
    // The one-way switch to the game view.
    void EnterGameView();
    void ToggleFullScreen();

    // Page events, bound to the browser in OnCreate.
    void OnNavigateComplete(const wchar_t* url);
    void OnNavigateError(IDispatch* frame, const wchar_t* url, long status, VARIANT_BOOL* cancel);
    void OnDocumentComplete(IDispatch* frame, const wchar_t* url);
    void OnNewWindow(IDispatch** slot, short*& cancel, unsigned long flags, wchar_t* context,
                     wchar_t* url);
    std::wstring OnPageCall(unsigned dispid, const std::vector<std::wstring>& args);


    GdipPtr<Gdiplus::Font> titleFont;
    GdipPtr<Gdiplus::SolidBrush> titleBrush;
    CImageMenu toolsMenu;
    CImageMenu trayMenu;
    CImageTipCtrl toolTip;
    bool fullScreen = false;
    RECT savedRect = {};
    CMyHtml html;
    CFrameBack backdrop;
    bool gameView = false;
    wchar_t titleText[260] = {};
    bool titleFromPage = false;
    NOTIFYICONDATAW trayIcon = {};
    bool bossHidden = false;

    // The boss key's combination, the tools menu's rows and actions, hiding behind the tray
    // icon, and the title-bar buttons' tooltips.
    BossKey bossKey;
    ToolsMenu tools{toolsMenu};
    TrayMenu tray{*this, trayIcon, bossHidden, trayMenu};
    TitleTips titleTips;
    // Over the page area while the server cannot be reached.
    COfflineNotice offline;

    // Replaces reading the browser's current document when set (engines without HTML support
    // never have one).
    std::function<DocumentTitle()> documentTitleSource;

private:
    DocumentTitle ReadDocumentTitle();
    // Moves the shadow frame around the window; true when that changed the frame's size.
    bool PlaceBackdrop();
    void FollowVisibility(bool shown);
    void FocusPage();
};
