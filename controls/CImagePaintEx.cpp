#include "CImagePaintEx.h"
#include "CImageItem.h"
#include "SkinDrawing.h"

#include <utility>

int32_t ElapsedTicks(uint32_t now, uint32_t then)
{
    return static_cast<int32_t>(now - then);
}

namespace {
GdipPtr<Gdiplus::SolidBrush> MakeBrush(Gdiplus::ARGB color)
{
    return GdipPtr<Gdiplus::SolidBrush>(new Gdiplus::SolidBrush(Gdiplus::Color(color)));
}

POINT PointFrom(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

CImagePaintEx::CImagePaintEx() = default;

CImagePaintEx::~CImagePaintEx()
{
    ResetList();
    onItemClick = nullptr;
    onItemDoubleClick = nullptr;
    onSize = nullptr;
}

uint32_t CImagePaintEx::Now() const
{
    return tickSource ? tickSource() : static_cast<uint32_t>(GetTickCount());
}

RECT CImagePaintEx::ClientRect() const
{
    RECT r = {};
    if (hwnd) GetClientRect(hwnd, &r);
    return r;
}

CImageItem* CImagePaintEx::AddItem(int id)
{
    for (const auto& item : items) {
        if (item->id == id) return item.get();
    }
    items.push_back(std::make_unique<CImageItem>(this, id, defaultItemHeight));
    CImageItem* item = items.back().get();
    Relayout(nullptr);
    return item;
}

void CImagePaintEx::ClearItems()
{
    if (!items.empty()) {
        // Rows go before anything can reach them through the list.
        std::vector<std::unique_ptr<CImageItem>> old = std::move(items);
        items.clear();
        hotItem = nullptr;
        lastClicked = nullptr;
        old.clear();
        Relayout(nullptr);
    }
    hotItem = nullptr;
    lastClicked = nullptr;
}

void CImagePaintEx::SetBackColor(Gdiplus::ARGB color)
{
    backColor = color;
    backBrush.Reset();
    fillBack = true;
    backBrush = MakeBrush(color);
}

void CImagePaintEx::SetHoverColor(Gdiplus::ARGB color)
{
    hoverColor = color;
    hoverBrush.Reset();
    hoverBrush = MakeBrush(color);
}

void CImagePaintEx::MakeBrushes()
{
    if (!backBrush) backBrush = BrushIfVisible(backColor);
    if (!hoverBrush) hoverBrush = BrushIfVisible(hoverColor);
    if (!selectedBrush) selectedBrush = BrushIfVisible(selectedColor);
}

void CImagePaintEx::Relayout(const RECT* bounds)
{
    const RECT b = bounds ? *bounds : ClientRect();
    int top = 0;
    for (const auto& item : items) {
        if (!item->visible) continue;
        const RECT r = {0, top, b.right, top + item->height};
        if (!SameRect(r, item->rect)) {
            item->rect = r;
            item->Layout(r);
        }
        top += item->height;
    }
}

RECT CImagePaintEx::GetItemRect(int id) const
{
    const RECT client = ClientRect();
    int top = 0;
    for (const auto& item : items) {
        if (!item->visible) continue;
        if (item->id == id) return RECT{0, top, client.right, top + item->height};
        top += item->height;
    }
    return RECT{0, 0, client.right, 0};
}

bool CImagePaintEx::IsItemOnView(int top, int height) const
{
    HWND parent = hwnd ? GetParent(hwnd) : nullptr;
    if (!parent) return true;
    POINT origin = {0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    const int y = top + origin.y;
    if (y + height == 0) return false;
    RECT parentClient = {};
    GetClientRect(parent, &parentClient);
    return static_cast<unsigned>(y) <= static_cast<unsigned>(parentClient.bottom);
}

int CImagePaintEx::VisibleHeight() const
{
    int total = 0;
    for (const auto& item : items) {
        if (item->visible) total += item->height;
    }
    return total;
}

CImageItem* CImagePaintEx::HitTest(POINT p) const
{
    const RECT client = ClientRect();
    int top = 0;
    for (const auto& item : items) {
        if (!item->visible) continue;
        const RECT r = {0, top, client.right, top + item->height};
        if (IsItemOnView(top, item->height) && PtInRect(&r, p)) return item.get();
        top += item->height;
    }
    return nullptr;
}

void CImagePaintEx::DrawList(HDC dc, const RECT& client)
{
    if (!dc) return;
    Gdiplus::Graphics g(dc);
    PrepareSkinGraphics(g, dc);
    if (fillBack) FillBackground(g, backBrush.Get(), client);
    int top = 0;
    for (const auto& item : items) {
        if (!item->visible) continue;
        if (IsItemOnView(top, item->height)) {
            item->Draw(g, RECT{0, top, client.right, top + item->height});
        }
        top += item->height;
    }
}

void CImagePaintEx::PaintList()
{
    if (!hwnd || painting) return;
    RECT update = {};
    GetUpdateRect(hwnd, &update, FALSE);
    if (update.right == update.left || update.bottom == update.top) return;
    painting = true;
    const RECT client = ClientRect();
    PaintBuffered(hwnd, client, [this, &client](HDC dc, const RECT&) { DrawList(dc, client); });
    painting = false;
}

void CImagePaintEx::ResetList()
{
    ClearItems();
    backBrush.Reset();
    hoverBrush.Reset();
    selectedBrush.Reset();
    mousePos = POINT{-1, 0};
    hotItem = nullptr;
    lastClicked = nullptr;
    tracking = false;
    hwnd = nullptr;
}

void CImagePaintEx::OnEraseBackground()
{
    const RECT client = ClientRect();
    if (SameRect(client, lastClientRect)) return;
    PaintList();
    lastClientRect = client;
}

void CImagePaintEx::OnShowWindow(bool show)
{
    if (show) return;
    mousePos = POINT{-1, 0};
    for (const auto& item : items) {
        item->hovered = false;
        item->selected = false;
        item->hotButton = nullptr;
    }
}

void CImagePaintEx::OnMouseMove(POINT p)
{
    mousePos = p;
    if (!tracking && hwnd) {
        TrackMouseLeave(hwnd);
        tracking = true;
    }
    if (hotItem) {
        RECT r = GetItemRect(hotItem->id);
        if (IsItemOnView(r.top, hotItem->height)) {
            if (PtInRect(&r, mousePos)) {
                if (hotItem->OnMouseMove(mousePos)) InvalidateRect(hwnd, &r, TRUE);
            } else {
                InvalidateRect(hwnd, &r, TRUE);
                hotItem->hovered = false;
                hotItem->hotButton = nullptr;
                hotItem->OnMouseLeave();
                hotItem = nullptr;
            }
            return;
        }
    }
    CImageItem* hit = HitTest(mousePos);
    if (!hit || hit == hotItem) return;
    hotItem = hit;
    hit->hovered = true;
    hit->OnMouseMove(mousePos);
    RECT r = GetItemRect(hit->id);
    InvalidateRect(hwnd, &r, TRUE);
    hit->OnHover();
}

void CImagePaintEx::OnMouseLeave()
{
    mousePos = POINT{-1, 0};
    tracking = false;
    if (!hotItem) return;
    CImageItem* item = hotItem;
    item->OnMouseMove(POINT{0, 0});
    item->hovered = false;
    item->hotButton = nullptr;
    RECT r = GetItemRect(item->id);
    if (IsItemOnView(r.top, item->height)) InvalidateRect(hwnd, &r, TRUE);
    hotItem = nullptr;
}

void CImagePaintEx::OnLButtonUp(POINT p)
{
    mousePos = p;
    if (hwnd) SetFocus(hwnd);
    CImageItem* row = HitTest(mousePos);
    if (!row) return;
    const uint32_t now = Now();
    row->OnMouseMove(mousePos);
    row->SetSelected(true);
    if (row != lastClicked) {
        lastClicked = row;
        // The handler may hide or destroy the window, which deletes every row: nothing of the
        // row is read after it returns.
        if (auto click = onItemClick) click(row);
        if (hwnd && IsWindow(hwnd)) InvalidateRect(hwnd, nullptr, TRUE);
    } else if (ElapsedTicks(now, lastClickTick) > 500) {
        if (auto click = onItemClick) click(row);
    } else {
        if (auto doubleClick = onItemDoubleClick) doubleClick(row);
    }
    lastClickTick = now;
}

bool CImagePaintEx::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: MakeBrushes(); break;
    case WM_SIZE: {
        const RECT r = {0, 0, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (onSize) onSize(r);
        Relayout(&r);
        break;
    }
    case WM_PAINT: PaintList(); break;
    case WM_PRINTCLIENT: DrawList(reinterpret_cast<HDC>(wParam), ClientRect()); break;
    case WM_ERASEBKGND: OnEraseBackground(); return true;
    case WM_SHOWWINDOW: OnShowWindow(wParam != 0); break;
    case WM_MOUSEMOVE: OnMouseMove(PointFrom(lParam)); break;
    case WM_LBUTTONUP: OnLButtonUp(PointFrom(lParam)); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_DESTROY: ResetList(); break;
    default: break;
    }
    return false;
}
