#include "CImagePaint.h"
#include "CImageButton.h"
#include "CImageStatic.h"
#include "CSanDC.h"
#include "PngResource.h"
#include "SkinDrawing.h"

#include <algorithm>

namespace {
const RECT kNoRect = {-1, -1, -1, -1};

POINT PointFrom(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool Intersects(const RECT& a, const RECT& b)
{
    RECT out;
    return IntersectRect(&out, &a, &b) != FALSE;
}

// A caption rectangle with equal left/right and equal top/bottom means "the top strip".
bool CaptionUnset(const RECT& r) { return r.left == r.right && r.top == r.bottom; }
}  // namespace

CImagePaint::CImagePaint() = default;

CImagePaint::~CImagePaint() = default;

CImageButton* CImagePaint::AddButton(int id, const RECT& rect, int, int imgNormal, int imgHover,
                                     int imgPressed, int imgExtra)
{
    surfaceCurrent = false;
    if (CImageButton* existing = FindButton(id)) {
        existing->SetImages(imgNormal, imgHover, imgPressed, imgExtra);
        existing->text[0] = L'\0';
        existing->SetRect(rect);
        return existing;
    }
    buttons.push_back(std::make_unique<CImageButton>(hwnd, id, rect, L""));
    buttons.back()->SetImages(imgNormal, imgHover, imgPressed, imgExtra);
    return buttons.back().get();
}

CImageButton* CImagePaint::FindButton(int id) const
{
    for (const auto& b : buttons) {
        if (b->id == id) return b.get();
    }
    return nullptr;
}

bool CImagePaint::RemoveButton(int id)
{
    auto it = std::find_if(buttons.begin(), buttons.end(),
                           [id](const auto& b) { return b->id == id; });
    if (it == buttons.end()) return false;
    if (hot == it->get()) hot = nullptr;
    buttons.erase(it);
    surfaceCurrent = false;
    return true;
}

CImageStatic* CImagePaint::AddStatic(const RECT& rect, int pngId, int key, bool cleanStretch)
{
    surfaceCurrent = false;
    CImageStatic* s = FindStatic(key);
    if (!s) {
        statics.push_back(std::make_unique<CImageStatic>());
        s = statics.back().get();
    }
    s->rect = rect;
    s->cleanStretch = cleanStretch;
    s->key = key;
    s->SetImage(LoadPngResource(pngId));
    return s;
}

CImageStatic* CImagePaint::FindStatic(int key) const
{
    for (const auto& s : statics) {
        if (s->key == key) return s.get();
    }
    return nullptr;
}

bool CImagePaint::RemoveStatic()
{
    auto it = std::find_if(statics.begin(), statics.end(),
                           [](const auto& s) { return s->key == kRemovableStaticKey; });
    if (it == statics.end()) return false;
    statics.erase(it);
    surfaceCurrent = false;
    return true;
}

void CImagePaint::SetBackColor(Gdiplus::ARGB color)
{
    backColor = color;
    surfaceCurrent = false;
    // A colour without alpha makes no brush: nothing would be filled anyway.
    backBrush = BrushIfVisible(color);
    fillBackground = true;
}

void CImagePaint::ClearElements()
{
    statics.clear();
    buttons.clear();
    hot = nullptr;
    mousePoint = POINT{-1, -1};
    hwnd = nullptr;
    backBrush.Reset();
    layered = false;
    surface.Reset();
    dirty.clear();
    surfaceCurrent = false;
    // The window is gone with its capture and tracking; a re-created window starts idle.
    captured = false;
    dragging = false;
    tracking = false;
    leftPressed = false;
    rightPressed = false;
    pressRect = kNoRect;
    rightPressRect = kNoRect;
}

void CImagePaint::EnableLayered()
{
    if (layered || !IsWindow(hwnd)) return;
    fillBackground = false;
    layered = true;
    alpha = 255;
    if (GetModuleHandleW(L"user32.dll")) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                          GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        updateLayered = LookUpUpdateLayeredWindow();
    }
    UpdateLayered();
}

void CImagePaint::DrawElements(Gdiplus::Graphics& g, const RECT* update, CLayeredSurface* pixels)
{
    if (fillBackground && backBrush && hwnd) {
        RECT client = {};
        GetClientRect(hwnd, &client);
        FillBackground(g, backBrush.Get(), client);
    }
    if (onDrawBackground) onDrawBackground(g);
    const RECT none = {};
    const RECT all = {0, 0, pixels ? pixels->width : 0, pixels ? pixels->height : 0};
    for (const auto& s : statics) {
        if (update && !Intersects(s->rect, *update)) continue;
        if (pixels && s->BlendInto(*pixels, update ? *update : all)) continue;
        s->Draw(g, none);
    }
    for (const auto& b : buttons) {
        if (!update || Intersects(b->rect, *update)) {
            b->Draw(g, mousePoint, leftPressed, &none, pixels, update ? *update : all);
        }
    }
    if (onDrawOverlay) onDrawOverlay(g);
}

void CImagePaint::UpdateLayered()
{
    dirty.clear();
    RenderLayered(nullptr);
}

void CImagePaint::RenderLayered(const std::vector<RECT>* areas)
{
    if (!updateLayered || !IsWindow(hwnd)) return;
    // A surface of a new size starts transparent and is drawn whole.
    const bool fresh = surface.Fit(hwnd);
    Gdiplus::Graphics* g = surface.Graphics();
    if (!g) return;
    const RECT whole = {0, 0, surface.width, surface.height};
    if (fresh || !areas) {
        if (!fresh) surface.Clear(whole);
        DrawElements(*g, nullptr, &surface);
    } else {
        for (const RECT& area : *areas) {
            RECT r;
            if (!IntersectRect(&r, &area, &whole)) continue;
            surface.Clear(r);
            g->SetClip(Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
            DrawElements(*g, &r, &surface);
            g->ResetClip();
        }
    }
    surfaceCurrent = true;
    Push();
}

void CImagePaint::Push()
{
    pushedWhileHidden = surface.Push(updateLayered, hwnd, alpha) && !IsWindowVisible(hwnd);
    pushedAlpha = alpha;
}

void CImagePaint::ShowLayered()
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const bool current = surfaceCurrent && dirty.empty() && surface.Graphics() &&
                         client.right == surface.width && client.bottom == surface.height &&
                         updateLayered;
    if (!current) {
        UpdateLayered();
    } else if (!pushedWhileHidden || pushedAlpha != alpha) {
        // The surface kept from the last render still shows everything: pushing it is enough.
        Push();
    }
    // Otherwise the window already holds those pixels (pushed while it was hidden, as at its
    // creation): showing it shows them.
    pushedWhileHidden = false;
}

void CImagePaint::PaintWindow()
{
    if (!hwnd) return;
    RECT update = {};
    GetUpdateRect(hwnd, &update, FALSE);
    PaintBuffered(hwnd, update, [this](HDC dc, const RECT& area) {
        Gdiplus::Graphics g(dc);
        PrepareSkinGraphics(g, dc);
        // Only what can reach the window is copied back: GDI+ need not produce anything else.
        g.SetClip(Gdiplus::Rect(area.left, area.top, area.right - area.left,
                                area.bottom - area.top));
        DrawElements(g, &area);
    });
}

void CImagePaint::PrintClient(HDC dc)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    CSanDC surface(dc, client.right - client.left, client.bottom - client.top, client);
    if (!surface.bitmap) return;
    Gdiplus::Graphics g(surface.memoryDC);
    PrepareSkinGraphics(g, surface.memoryDC);
    DrawElements(g, nullptr);
}

void CImagePaint::Redraw(const RECT& r)
{
    Invalidate(r);
    FlushLayered();
}

void CImagePaint::Invalidate(const RECT& r)
{
    if (layered) {
        dirty.push_back(r);
    } else if (hwnd) {
        InvalidateRect(hwnd, &r, TRUE);
    }
}

void CImagePaint::FlushLayered()
{
    if (!layered || dirty.empty()) return;
    std::vector<RECT> areas;
    areas.swap(dirty);
    RenderLayered(&areas);
}

void CImagePaint::LayoutAnchors(int cx, int cy)
{
    bool moved = false;
    for (const auto& b : buttons) {
        if (b->rightOffset != -1 && cx - b->rightOffset != b->rect.right) {
            moved = true;
            RECT r = b->rect;
            const int width = r.right - r.left;
            r.right = cx - b->rightOffset;
            r.left = r.right - width;
            b->SetRect(r);
        }
        if (b->bottomOffset != -1 && cy - b->bottomOffset != b->rect.bottom) {
            moved = true;
            RECT r = b->rect;
            const int height = r.bottom - r.top;
            r.bottom = cy - b->bottomOffset;
            r.top = r.bottom - height;
            b->SetRect(r);
        }
    }
    for (const auto& s : statics) {
        if (s->rightOffset != -1 && cx - s->rightOffset != s->rect.right) {
            moved = true;
            const int newRight = cx - s->rightOffset;
            s->rect.left = s->fixedLeft != -1 ? s->fixedLeft
                                              : s->rect.left + (newRight - s->rect.right);
            s->rect.right = newRight;
        }
        if (s->bottomOffset != -1 && cy - s->bottomOffset != s->rect.bottom) {
            moved = true;
            const int newBottom = cy - s->bottomOffset;
            s->rect.top = s->fixedTop != -1 ? s->fixedTop
                                            : s->rect.top + (newBottom - s->rect.bottom);
            s->rect.bottom = newBottom;
        }
    }
    // A layered window whose kept surface already shows everything at this size (the size its
    // creation rendered, say) has nothing new to render or push.
    if (layered && !moved && surfaceCurrent && dirty.empty() && surface.Graphics() &&
        surface.width == cx && surface.height == cy) {
        return;
    }
    Redraw(RECT{0, 0, cx, cy});
}

void CImagePaint::ToggleMaximize()
{
    CImageButton* maximize = FindButton(kMaximizeId);
    CImageButton* restore = FindButton(kRestoreId);
    if (!maximize || !restore) return;
    if (IsZoomed(hwnd)) {
        maximize->visible = true;
        restore->visible = false;
        ShowWindow(hwnd, SW_RESTORE);
    } else {
        restore->visible = true;
        maximize->visible = false;
        ShowWindow(hwnd, SW_MAXIMIZE);
    }
}

bool CImagePaint::Owns(const CImageButton* button) const
{
    return std::any_of(buttons.begin(), buttons.end(),
                       [button](const auto& b) { return b.get() == button; });
}

bool CImagePaint::OnClick(CImageButton* button)
{
    if (onButtonClick && !onButtonClick(hot)) return false;
    // The handler may have destroyed the window (which deletes every button): touch nothing.
    if (!hwnd || (button && !Owns(button))) return false;
    if (!button || !button->visible) return true;
    switch (button->id) {
    case kCloseId:
        DestroyWindow(hwnd);
        return false;
    case kMinimizeId: ShowWindow(hwnd, SW_MINIMIZE); break;
    case kMaximizeId:
    case kRestoreId: ToggleMaximize(); break;
    default: break;
    }
    return true;
}

CImageButton* CImagePaint::HotCandidate(const std::vector<std::unique_ptr<CImageButton>>& list,
                                        POINT p)
{
    for (const auto& b : list) {
        if (!NeverHot(b->id) && PtInRect(&b->rect, p) && b->visible) return b.get();
    }
    return nullptr;
}

bool CImagePaint::OnMouseMove(POINT p)
{
    if (dragging) {
        DragTo(p);
        return false;
    }
    mousePoint = p;
    if (!tracking) {
        tracking = TrackMouseLeave(hwnd);
    }
    if (hot && PtInRect(&hot->rect, p) && tracking) return false;
    if (leftPressed) return false;
    CImageButton* found = tracking ? HotCandidate(buttons, p) : nullptr;
    // The old and the new hot button change together: one render, one push.
    if (hot) Invalidate(hot->rect);
    hot = found;
    if (found) Invalidate(found->rect);
    FlushLayered();
    if (!found) return false;
    if (onButtonHover && !onButtonHover(found)) return true;
    return false;
}

bool CImagePaint::OnMouseLeave()
{
    mousePoint = POINT{-1, -1};
    tracking = false;
    if (leftPressed) return false;
    if (hot) {
        if (IsZoomed(hwnd)) {
            POINT cursor = {};
            GetCursorPos(&cursor);
            ScreenToClient(hwnd, &cursor);
            mousePoint = PtInRect(&hot->rect, cursor) ? cursor : POINT{-1, -1};
        }
        Redraw(hot->rect);
        hot = nullptr;
    }
    return false;
}

bool CImagePaint::OnLeftDown(POINT p)
{
    mousePoint = p;
    bool hit = false;
    if (hot && hot->visible && PtInRect(&hot->rect, p)) {
        pressRect = hot->rect;
        leftPressed = true;
        Redraw(pressRect);
        if (onButtonDown && !onButtonDown(hot)) return true;
        if (!captured) {
            SetCapture(hwnd);
            captured = true;
            return false;
        }
        hit = true;
    }
    const bool onCaption = CaptionUnset(captionRect) ? p.y <= kCaptionHeight && !hit
                                                     : PtInRect(&captionRect, p) != FALSE;
    if (onCaption && dragEnabled) StartDrag(p);
    if (!hit) pressRect = kNoRect;
    return false;
}

void CImagePaint::StartDrag(POINT p)
{
    if (!dragWithoutActivation) {
        PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
        return;
    }
    dragGrip = p;
    dragging = true;
    if (!captured) {
        SetCapture(hwnd);
        captured = true;
    }
}

void CImagePaint::DragTo(POINT p)
{
    // The point is read against where the window is now: moving the window by the distance from
    // the grip keeps the grip under the pointer.
    if (p.x == dragGrip.x && p.y == dragGrip.y) return;
    RECT window = {};
    GetWindowRect(hwnd, &window);
    SetWindowPos(hwnd, nullptr, window.left + p.x - dragGrip.x, window.top + p.y - dragGrip.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CImagePaint::OnLeftUp(POINT p)
{
    mousePoint = p;
    dragging = false;
    if (captured) {
        captured = false;
        ReleaseCapture();
    }
    leftPressed = false;
    if (!hot) {
        pressRect = kNoRect;
        return false;
    }
    const RECT oldRect = hot->rect;
    if (PtInRect(&pressRect, p)) {
        if (!OnClick(hot)) return true;
    } else if (!PtInRect(&hot->rect, p)) {
        mousePoint = POINT{-1, -1};
        hot = nullptr;
    }
    Redraw(oldRect);
    pressRect = kNoRect;
    return false;
}

bool CImagePaint::OnRightDown(POINT p)
{
    mousePoint = p;
    if (hot && PtInRect(&hot->rect, p)) {
        rightPressed = true;
        rightPressRect = hot->rect;
        if (onButtonRightDown && !onButtonRightDown(hot)) return true;
        if (!captured) {
            SetCapture(hwnd);
            captured = true;
        }
        return false;
    }
    rightPressRect = kNoRect;
    return false;
}

bool CImagePaint::OnRightUp(POINT p)
{
    mousePoint = p;
    if (captured) {
        captured = false;
        ReleaseCapture();
    }
    rightPressed = false;
    if (hot) {
        if (PtInRect(&rightPressRect, p)) {
            if (onButtonRightClick && !onButtonRightClick(hot)) return false;
        } else if (!PtInRect(&hot->rect, p)) {
            mousePoint = POINT{-1, -1};
            hot = nullptr;
        }
    }
    rightPressed = false;
    rightPressRect = kNoRect;
    return false;
}

bool CImagePaint::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (!backBrush) backBrush = BrushIfVisible(backColor);
        return false;
    case WM_DESTROY: ClearElements(); return false;
    case WM_SIZE:
        LayoutAnchors(LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_PAINT: PaintWindow(); return false;
    case WM_ERASEBKGND: {
        RECT client = {};
        if (hwnd) GetClientRect(hwnd, &client);
        if (client.left || client.top || client.right || client.bottom) PaintWindow();
        return true;
    }
    case WM_PRINTCLIENT:
        if (!hwnd || !wParam) return false;
        PrintClient(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_SHOWWINDOW:
        if (!wParam) {
            // The hot button, if any, will show its normal look: the surface no longer matches.
            if (mousePoint.x != -1 || mousePoint.y != -1) surfaceCurrent = false;
            mousePoint = POINT{-1, -1};
        } else if (layered) {
            ShowLayered();
        }
        return false;
    case WM_MOUSEMOVE: return OnMouseMove(PointFrom(lParam));
    case WM_LBUTTONDOWN: return OnLeftDown(PointFrom(lParam));
    case WM_LBUTTONUP: return OnLeftUp(PointFrom(lParam));
    case WM_LBUTTONDBLCLK:
        if (PointFrom(lParam).y <= kCaptionHeight && dragEnabled) ToggleMaximize();
        return false;
    case WM_RBUTTONDOWN: return OnRightDown(PointFrom(lParam));
    case WM_RBUTTONUP: return OnRightUp(PointFrom(lParam));
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_CAPTURECHANGED:
        // Taken away (a question opening, another program): a drag or press under way ends.
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            captured = false;
            dragging = false;
        }
        return false;
    default: return false;
    }
}
