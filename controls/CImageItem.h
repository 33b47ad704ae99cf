#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

class CImageButton;
class CImageStatic;
class CImagePaintEx;
class CWindowCtrl;

// One row of an item list: a small container of windowless elements placed relative to the row.
// The list gives it its rectangle, forwards pointer movement to it and paints it.
class CImageItem {
public:
    // A child window that follows the row; rect is relative to the row's top-left corner.
    struct ChildWindow {
        std::unique_ptr<CWindowCtrl> window;
        RECT rect;
    };

    CImageItem(CImagePaintEx* list, int itemId, int itemHeight);
    CImageItem(const CImageItem&) = delete;
    CImageItem& operator=(const CImageItem&) = delete;
    virtual ~CImageItem();

    virtual void Draw(Gdiplus::Graphics& g, const RECT& row);
    // True when the row's look changed (the hot button came or went).
    virtual bool OnMouseMove(POINT p);
    virtual void OnMouseLeave();
    virtual void Layout(const RECT& row);
    virtual void OnHover();

    // The existing button of that id unchanged, or a new one without images. r.left and r.right
    // are list x coordinates; r.top and r.bottom are relative to the row's top.
    CImageButton* AddButton(int buttonId, const RECT& r, const wchar_t* caption);
    // The row takes ownership of the static, placed like a button.
    CImageStatic* AddStatic(CImageStatic* element);
    // The row takes ownership of the window object and destroys its window with the row.
    void AddChildWindow(CWindowCtrl* window, const RECT& relative);
    // At most one row of a list is selected: the one the list remembers as last clicked.
    void SetSelected(bool on);

    POINT mousePos = {-1, 0};
    std::vector<std::unique_ptr<CImageButton>> buttons;
    std::vector<std::unique_ptr<CImageStatic>> statics;
    std::vector<CImageButton*> elements;  // borrowed: drawn, never deleted by the row
    std::vector<ChildWindow> childWindows;
    CImageButton* hotButton = nullptr;
    bool hovered = false;
    bool selected = false;
    bool visible = true;
    CImagePaintEx* owner = nullptr;  // the list that made the row
    int id = 0;
    int height = 24;
    RECT rect = {};
};

// Where an element of rectangle r (x in list coordinates, y relative to the row) with a right
// offset (-1: none) lies in the row rectangle, before clipping.
RECT PlaceInRow(const RECT& r, int rightOffset, const RECT& row);
// The same, clipped to the row's left, right and bottom: what is painted and hit.
RECT PlaceInRowClipped(const RECT& r, int rightOffset, const RECT& row);
// Where a child window of row-relative rectangle c goes for row rectangle row.
RECT ChildWindowRect(const RECT& c, const RECT& row);
