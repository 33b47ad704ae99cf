#pragma once
#include <windows.h>

#include <functional>
#include <string>

class CImageItem;
class CImageMenu;

// The game window's tools menu: three rows built when the menu has no window, shown just under
// the title bar at the pointer, and destroyed after any row has been clicked.
class ToolsMenu {
public:
    enum : int { kClearCacheId = 10014, kRefreshId = 10015, kBossKeyId = 10016 };

    explicit ToolsMenu(CImageMenu& menu) : menu(menu) {}

    // Class name, row height and hover colour shared by the game window's two menus, and the
    // row-click handler.
    static void SetUp(CImageMenu& menu, std::function<void(CImageItem*)> onItemClick);
    // Top-left corner of a menu of the given size for a pointer position and the game window's
    // rectangle: 10 pixels left of the pointer, just under the title bar; where that crosses the
    // work area's right or bottom edge, left of the pointer or above the window instead, and
    // always inside the work area.
    static POINT Place(POINT cursor, const RECT& window, SIZE menuSize, const RECT& workArea);

    // Builds the rows if needed and shows the menu for gameWindow at the pointer.
    void Open(HWND gameWindow);
    // The row action, then the menu goes away with its rows.
    void OnItemClick(CImageItem* row);

    CImageMenu& menu;
    HWND owner = nullptr;                  // owner of the cache-clearing message
    std::function<void()> refresh;         // reloads the page
    std::wstring bossKeyLabel = L"老板键(Alt+D)";
    std::function<bool(HWND)> startClearing;  // empty: StartClearUrlCache
};
