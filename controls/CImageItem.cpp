#include "CImageItem.h"
#include "CImageButton.h"
#include "CImagePaintEx.h"
#include "CImageStatic.h"
#include "CWindowCtrl.h"

#include <algorithm>

RECT PlaceInRow(const RECT& r, int rightOffset, const RECT& row)
{
    RECT p = {};
    p.top = row.top + r.top;
    p.bottom = row.top + r.bottom;
    if (rightOffset == -1) {
        p.left = r.left;
        p.right = r.right;
    } else {
        p.right = row.right - rightOffset;
        p.left = p.right - (r.right - r.left);
    }
    return p;
}

RECT PlaceInRowClipped(const RECT& r, int rightOffset, const RECT& row)
{
    RECT p = PlaceInRow(r, rightOffset, row);
    p.left = (std::max)(p.left, row.left);
    p.right = (std::min)(p.right, row.right);
    p.bottom = (std::min)(p.bottom, row.bottom);
    return p;
}

RECT ChildWindowRect(const RECT& c, const RECT& row)
{
    const int x = row.left + c.left;
    const int y = row.top + c.top;
    const int right = (std::min)(row.right, row.left + c.right);
    const int bottom = (std::min)(row.bottom, row.top + c.bottom);
    return RECT{x, y, right, bottom};
}

CImageItem::CImageItem(CImagePaintEx* list, int itemId, int itemHeight)
    : owner(list), id(itemId), height(itemHeight)
{
}

CImageItem::~CImageItem()
{
    buttons.clear();
    statics.clear();
    for (ChildWindow& child : childWindows) {
        if (child.window && child.window->hwnd && IsWindow(child.window->hwnd)) {
            DestroyWindow(child.window->hwnd);
        }
        child.window.reset();
    }
    childWindows.clear();
    elements.clear();
}

CImageButton* CImageItem::AddButton(int buttonId, const RECT& r, const wchar_t* caption)
{
    for (const auto& button : buttons) {
        if (button->id == buttonId) return button.get();
    }
    auto button = std::make_unique<CImageButton>(owner ? owner->hwnd : nullptr, buttonId, r,
                                                 caption);
    button->SetImages(0, 0, 0, 0);
    buttons.push_back(std::move(button));
    return buttons.back().get();
}

CImageStatic* CImageItem::AddStatic(CImageStatic* element)
{
    if (!element) return nullptr;
    statics.emplace_back(element);
    return element;
}

void CImageItem::AddChildWindow(CWindowCtrl* window, const RECT& relative)
{
    if (!window) return;
    childWindows.push_back(ChildWindow{std::unique_ptr<CWindowCtrl>(window), relative});
}

void CImageItem::SetSelected(bool on)
{
    if (on) {
        if (owner && owner->lastClicked) owner->lastClicked->SetSelected(false);
        selected = true;
    } else {
        selected = false;
    }
}

void CImageItem::Draw(Gdiplus::Graphics& g, const RECT& row)
{
    Gdiplus::SolidBrush* fill = nullptr;
    if (owner) {
        if (selected) {
            fill = owner->selectedBrush ? owner->selectedBrush.Get() : owner->hoverBrush.Get();
        } else if (hovered) {
            fill = owner->hoverBrush.Get();
        }
    }
    if (fill) {
        g.FillRectangle(fill, static_cast<INT>(row.left), static_cast<INT>(row.top),
                        static_cast<INT>(row.right - row.left),
                        static_cast<INT>(row.bottom - row.top));
    }

    for (const auto& button : buttons) {
        if (!button->visible) continue;
        const RECT placed = PlaceInRowClipped(button->rect, button->rightOffset, row);
        button->Draw(g, mousePos, false, &placed);
    }
    for (const auto& element : statics) {
        if (!element->visible) continue;
        const RECT placed = PlaceInRowClipped(element->rect, element->rightOffset, row);
        element->Draw(g, placed);
    }
    const RECT none = {};
    for (CImageButton* element : elements) {
        if (element && element->visible) element->Draw(g, mousePos, false, &none);
    }
}

bool CImageItem::OnMouseMove(POINT p)
{
    mousePos = p;
    const RECT row = owner ? owner->GetItemRect(id) : rect;
    for (const auto& button : buttons) {
        if (!button->visible) continue;
        const RECT placed = PlaceInRowClipped(button->rect, button->rightOffset, row);
        const bool inside = PtInRect(&placed, p) != FALSE;
        if (hotButton) {
            if (inside) {
                if (hotButton == button.get()) return false;
                hotButton = button.get();
                return true;
            }
            if (hotButton == button.get()) {
                hotButton = nullptr;
                return true;
            }
        } else if (inside) {
            hotButton = button.get();
            return true;
        }
    }
    return false;
}

void CImageItem::OnMouseLeave()
{
    mousePos = POINT{-1, 0};
    hotButton = nullptr;
}

void CImageItem::Layout(const RECT& row)
{
    for (const ChildWindow& child : childWindows) {
        if (!child.window || !child.window->hwnd) continue;
        const RECT r = ChildWindowRect(child.rect, row);
        MoveWindow(child.window->hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void CImageItem::OnHover() {}
