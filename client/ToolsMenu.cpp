#include "ToolsMenu.h"

#include "CImageItem.h"
#include "CImageMenu.h"
#include "ScreenPlacement.h"
#include "UrlCache.h"

void ToolsMenu::SetUp(CImageMenu& menu, std::function<void(CImageItem*)> onItemClick)
{
    menu.SetClassName(L"pelvar_menu");
    menu.list.onItemClick = std::move(onItemClick);
    menu.list.defaultItemHeight = 24;
    menu.list.SetHoverColor(0xFF9CD0FE);
}

POINT ToolsMenu::Place(POINT cursor, const RECT& window, SIZE menuSize, const RECT& workArea)
{
    const RECT r = screen_placement::PlaceFlipping(POINT{cursor.x - 10, window.top + 30},
                                                   POINT{cursor.x + 10, window.top}, menuSize,
                                                   workArea);
    return POINT{r.left, r.top};
}

void ToolsMenu::Open(HWND gameWindow)
{
    owner = gameWindow;
    // A menu only hidden by losing activation still has its rows.
    if (!menu.hwnd || !IsWindow(menu.hwnd)) {
        menu.AddMenuItem(kClearCacheId, L"清除缓存");
        menu.AddMenuItem(kRefreshId, L"刷新");
        menu.AddMenuItem(kBossKeyId, bossKeyLabel.c_str());
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT window = {};
    GetWindowRect(gameWindow, &window);
    const SIZE size = {CImageMenu::kWidth, menu.list.VisibleHeight()};
    menu.ShowAt(Place(cursor, window, size, screen_placement::MonitorAt(cursor).work));
}

void ToolsMenu::OnItemClick(CImageItem* row)
{
    const int id = row ? row->id : 0;
    if (id == kClearCacheId) {
        if (startClearing) {
            startClearing(owner);
        } else {
            StartClearUrlCache(owner);
        }
    } else if (id == kRefreshId) {
        if (refresh) refresh();
    }
    if (menu.hwnd && IsWindow(menu.hwnd)) {
        ShowWindow(menu.hwnd, SW_HIDE);
        DestroyWindow(menu.hwnd);
    }
}
