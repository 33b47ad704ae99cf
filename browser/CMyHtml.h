#pragma once
#include <windows.h>

#include "CWebBrowser.h"
#include "CWindowCtrl.h"

// Where the page goes inside the child's client rectangle: 4 pixels taller in the start-up view
// (hiding the control's bottom edge under the game window's frame), exact in the game view.
RECT BrowserPlacement(const RECT& client, bool gameView);

// The first descendant of parent of the Flash player's window class, or null.
HWND FindFlashWindow(HWND parent);

// The child window that carries the browser: creates the control with its window, keeps the
// page (and the Flash player inside it) sized to itself and lets the control see keystrokes,
// keeping Tab, Esc and F10 for itself in the game view.
class CMyHtml : public CWindowCtrl {
public:
    CMyHtml() = default;
    ~CMyHtml() override = default;

    int PreTranslateMessage(MSG* msg) override;
    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    // The arguments are not used: callers re-fit the page with OnSize(0, 0, 0).
    void OnSize(UINT type, int cx, int cy) override;

    bool gameView = false;
    CWebBrowser browser;
};
