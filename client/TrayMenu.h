#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <vector>

#include "ScreenPlacement.h"

class CImageCtrl;
class CImageItem;
class CImageMenu;

// Hiding the game window behind a notification-area icon and bringing it back: the boss key,
// the icon's mouse messages and the icon's two-row menu. It works on the game window's own
// fields (the icon data, the hidden flag and the menu), which it only refers to.
class TrayMenu {
public:
    enum : int { kSettingsId = 10018, kCloseId = 10019 };

    TrayMenu(CImageCtrl& window, NOTIFYICONDATAW& icon, bool& bossHidden, CImageMenu& menu)
        : window(window), icon(icon), bossHidden(bossHidden), menu(menu) {}

    // The icon as the game window adds it: id 128, message WM_TRAY_ICON, the program's icon.
    static void FillIcon(NOTIFYICONDATAW& icon, HWND hwnd);
    // Top-left corner of a menu of height h opened from the icon on monitor m (the one under the
    // pointer): its bottom at the pointer, or at the work area's bottom when the pointer is
    // lower; 96 pixels left of the pointer when a taskbar at the left or right narrows the work
    // area, else 30; and always wholly inside the work area (below a top taskbar, right of a
    // left one).
    static POINT Place(POINT cursor, const screen_placement::Monitor& m, int h);

    // WM_HOTKEY: hides the visible window behind the icon, or brings back the window it hid.
    void OnHotKey(WPARAM id);
    // WM_TRAY_ICON; true when the message is consumed without the window's base handling (an
    // icon id other than ours).
    bool OnTrayIcon(WPARAM id, LPARAM mouseMessage);
    // A row of the icon's menu was clicked.
    void OnItemClick(CImageItem* row);

    // Hides the window and everything of ours on the screen (the tray icon is the only trace):
    // popups are dismissed, other windows of the process hidden until BringBack, and a "done"
    // message of the cache clearing is held back.
    void Hide();
    void BringBack();
    void OpenMenu();
    // Shows again what Hide hid besides the window, and lets a held cache message out.
    void ShowHiddenWindows();

    CImageCtrl& window;
    NOTIFYICONDATAW& icon;
    bool& bossHidden;
    CImageMenu& menu;
    // Ends the program from the menu's "关闭"; empty: end the window's modal loop with result 1
    // and destroy the window.
    std::function<void()> closeClient;
    // Closes the window's menus and tooltips before it hides (they do not come back with it).
    std::function<void()> dismissPopups;
    // Other windows of the process hidden with the window (a question, a message box).
    std::vector<HWND> hiddenWithWindow;
};
