#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "UniqueHandle.h"

class CImageItem;

// Draws and runs a vertical list of rows inside one window: the window hands it every message.
// Rows are stacked from the top across the full client width, painted double-buffered; the row
// under the pointer is hot, and a left-button release on a row is reported as a click.
class CImagePaintEx {
public:
    CImagePaintEx();
    CImagePaintEx(const CImagePaintEx&) = delete;
    CImagePaintEx& operator=(const CImagePaintEx&) = delete;
    virtual ~CImagePaintEx();

    // The existing row of that id (visible or not), or a new row at the bottom.
    CImageItem* AddItem(int id);
    void ClearItems();
    void SetBackColor(Gdiplus::ARGB color);
    void SetHoverColor(Gdiplus::ARGB color);
    // Stacks the visible rows in bounds, or in the client rectangle when bounds is null.
    void Relayout(const RECT* bounds);
    RECT GetItemRect(int id) const;
    // False for a row whose top lies outside the parent's (for a popup: the owner's) client area.
    bool IsItemOnView(int top, int height) const;
    // True only for WM_ERASEBKGND, which the window then answers with 1.
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintList();
    // Draws background and rows for a client rectangle into dc (the double buffer, or a
    // WM_PRINTCLIENT target).
    void DrawList(HDC dc, const RECT& client);
    // The visible row under p (client coordinates), or null.
    CImageItem* HitTest(POINT p) const;
    // Sum of the heights of the visible rows.
    int VisibleHeight() const;
    // Back to the state of a list without window: rows deleted, brushes released.
    void ResetList();
    // The tick count used for double clicks; GetTickCount unless a test drives it.
    uint32_t Now() const;

    std::function<void(CImageItem*)> onItemClick;
    std::function<void(CImageItem*)> onItemDoubleClick;
    std::function<void(RECT)> onSize;
    int defaultItemHeight = 24;
    bool tracking = false;
    CImageItem* hotItem = nullptr;
    CImageItem* lastClicked = nullptr;
    GdipPtr<Gdiplus::SolidBrush> backBrush;
    GdipPtr<Gdiplus::SolidBrush> hoverBrush;
    GdipPtr<Gdiplus::SolidBrush> selectedBrush;
    Gdiplus::ARGB backColor = 0xFFFAFAFA;
    bool fillBack = true;
    Gdiplus::ARGB hoverColor = 0;
    Gdiplus::ARGB selectedColor = 0;
    std::vector<std::unique_ptr<CImageItem>> items;
    uint32_t lastClickTick = 0;
    RECT lastClientRect = {};
    POINT mousePos = {-1, 0};
    HWND hwnd = nullptr;  // the list window, not owned
    // Replaces GetTickCount when set.
    std::function<uint32_t()> tickSource;

private:
    RECT ClientRect() const;
    void MakeBrushes();
    void OnMouseMove(POINT p);
    void OnMouseLeave();
    void OnLButtonUp(POINT p);
    void OnShowWindow(bool show);
    void OnEraseBackground();
    bool painting = false;
};

// Milliseconds between two ticks of a wrapping 32-bit counter, read as signed.
int32_t ElapsedTicks(uint32_t now, uint32_t then);
