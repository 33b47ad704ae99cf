#include "CImagePaint.h"
#include "CImageButton.h"
#include "CImageStatic.h"
#include "CSanDC.h"
#include "PngResource.h"

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

void PrepareGraphics(Gdiplus::Graphics& g, HDC dc)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    SetBkMode(dc, TRANSPARENT);
}
}  // namespace

CImagePaint::CImagePaint() = default;

CImagePaint::~CImagePaint()
{
    for (CImageStatic* s : statics) delete s;
    for (CImageButton* b : buttons) delete b;
}

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
    auto* button = new CImageButton(hwnd, id, rect, L"");
    button->SetImages(imgNormal, imgHover, imgPressed, imgExtra);
    buttons.push_back(button);
    surfaceCurrent = false;
    return button;
}

CImageButton* CImagePaint::FindButton(int id) const
{
    for (CImageButton* b : buttons) {
        if (b->id == id) return b;
    }
    return nullptr;
}

bool CImagePaint::RemoveButton(int id)
{
    auto it = std::find_if(buttons.begin(), buttons.end(),
                           [id](CImageButton* b) { return b->id == id; });
    if (it == buttons.end()) return false;
    if (hot == *it) hot = nullptr;
    delete *it;
    buttons.erase(it);
    surfaceCurrent = false;
    return true;
}

CImageStatic* CImagePaint::AddStatic(const RECT& rect, int pngId, int key, bool cleanStretch)
{
    surfaceCurrent = false;
    CImageStatic* s = FindStatic(key);
    if (!s) {
        s = new CImageStatic;
        statics.push_back(s);
    }
    s->rect = rect;
    s->cleanStretch = cleanStretch;
    s->key = key;
    s->SetImage(LoadPngResource(pngId));
    return s;
}

CImageStatic* CImagePaint::FindStatic(int key) const
{
    for (CImageStatic* s : statics) {
        if (s->key == key) return s;
    }
    return nullptr;
}

bool CImagePaint::RemoveStatic()
{
    auto it = std::find_if(statics.begin(), statics.end(),
                           [](CImageStatic* s) { return s->key == 1007; });
    if (it == statics.end()) return false;
    delete *it;
    statics.erase(it);
    surfaceCurrent = false;
    return true;
}

void CImagePaint::SetBackColor(Gdiplus::ARGB color)
{
    backColor = color;
    surfaceCurrent = false;
    // A colour without alpha makes no brush: nothing would be filled anyway.
    backBrush.Reset(color >> 24 ? new Gdiplus::SolidBrush(Gdiplus::Color(color)) : nullptr);
    fillBackground = true;
}

void CImagePaint::ClearElements()
{
    for (CImageStatic* s : statics) delete s;
    statics.clear();
    for (CImageButton* b : buttons) delete b;
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
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                          GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
        updateLayered =
            reinterpret_cast<UpdateLayeredWindowFn>(GetProcAddress(user32, "UpdateLayeredWindow"));
    }
    UpdateLayered();
}

void CImagePaint::DrawElements(Gdiplus::Graphics& g, const RECT* update, CLayeredSurface* pixels)
{
    if (fillBackground && backBrush && hwnd) {
        RECT client = {};
        GetClientRect(hwnd, &client);
        g.FillRectangle(backBrush.Get(), static_cast<INT>(client.left - 1),
                        static_cast<INT>(client.top - 1),
                        static_cast<INT>(client.right - client.left + 1),
                        static_cast<INT>(client.bottom - client.top + 1));
    }
    if (onDrawBackground) onDrawBackground(g);
    const RECT none = {};
    const RECT all = {0, 0, pixels ? pixels->width : 0, pixels ? pixels->height : 0};
    for (CImageStatic* s : statics) {
        if (update && !Intersects(s->rect, *update)) continue;
        if (pixels && s->BlendInto(pixels->Pixels(), pixels->width, pixels->height,
                                   update ? *update : all)) {
            continue;
        }
        s->Draw(g, none);
    }
    for (CImageButton* b : buttons) {
        if (!update || Intersects(b->rect, *update)) b->Draw(g, mousePoint, leftPressed, &none);
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
    surface.Push(updateLayered, hwnd, alpha);
}

void CImagePaint::ShowLayered()
{
    // The surface kept from the last render still shows everything: pushing it is enough.
    RECT client = {};
    GetClientRect(hwnd, &client);
    if (surfaceCurrent && dirty.empty() && surface.Graphics() && client.right == surface.width &&
        client.bottom == surface.height && updateLayered) {
        surface.Push(updateLayered, hwnd, alpha);
    } else {
        UpdateLayered();
    }
}

void CImagePaint::PaintWindow()
{
    if (!hwnd) return;
    RECT update = {};
    GetUpdateRect(hwnd, &update, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    // What can reach the screen: the update rectangle less the children a WS_CLIPCHILDREN
    // window leaves out (the page covers most of the game window).
    RECT visible = {};
    if (dc && GetClipBox(dc, &visible) != ERROR) IntersectRect(&update, &update, &visible);
    if (dc && !IsRectEmpty(&update)) {
        // A buffer the size of the update rectangle, drawn in client coordinates shifted onto it.
        CSanDC buffer(dc, update);
        if (buffer.bitmap) {
            Gdiplus::Graphics g(buffer.memoryDC);
            PrepareGraphics(g, buffer.memoryDC);
            g.TranslateTransform(static_cast<Gdiplus::REAL>(-buffer.origin.x),
                                 static_cast<Gdiplus::REAL>(-buffer.origin.y));
            // Only the update rectangle is copied back: GDI+ need not produce anything else.
            g.SetClip(Gdiplus::Rect(update.left, update.top, update.right - update.left,
                                    update.bottom - update.top));
            DrawElements(g, &update);
        }
    }
    EndPaint(hwnd, &ps);
}

void CImagePaint::PrintClient(HDC dc)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    CSanDC surface(dc, client.right - client.left, client.bottom - client.top, client);
    if (!surface.bitmap) return;
    Gdiplus::Graphics g(surface.memoryDC);
    PrepareGraphics(g, surface.memoryDC);
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
    for (CImageButton* b : buttons) {
        if (b->rightOffset != -1 && cx - b->rightOffset != b->rect.right) {
            RECT r = b->rect;
            const int width = r.right - r.left;
            r.right = cx - b->rightOffset;
            r.left = r.right - width;
            b->SetRect(r);
        }
        if (b->bottomOffset != -1 && cy - b->bottomOffset != b->rect.bottom) {
            RECT r = b->rect;
            const int height = r.bottom - r.top;
            r.bottom = cy - b->bottomOffset;
            r.top = r.bottom - height;
            b->SetRect(r);
        }
    }
    for (CImageStatic* s : statics) {
        if (s->rightOffset != -1 && cx - s->rightOffset != s->rect.right) {
            const int newRight = cx - s->rightOffset;
            s->rect.left = s->fixedLeft != -1 ? s->fixedLeft
                                              : s->rect.left + (newRight - s->rect.right);
            s->rect.right = newRight;
        }
        if (s->bottomOffset != -1 && cy - s->bottomOffset != s->rect.bottom) {
            const int newBottom = cy - s->bottomOffset;
            s->rect.top = s->fixedTop != -1 ? s->fixedTop
                                            : s->rect.top + (newBottom - s->rect.bottom);
            s->rect.bottom = newBottom;
        }
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
    return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
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

CImageButton* CImagePaint::HotCandidate(const std::vector<CImageButton*>& list, POINT p)
{
    for (CImageButton* b : list) {
        if (!NeverHot(b->id) && PtInRect(&b->rect, p) && b->visible) return b;
    }
    return nullptr;
}

bool CImagePaint::OnMouseMove(POINT p)
{
    mousePoint = p;
    if (!tracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, hwnd, 10};
        tracking = TrackMouseEvent(&tme) != FALSE;
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
    const LPARAM at = MAKELPARAM(p.x, p.y);
    if (CaptionUnset(captionRect)) {
        if (p.y <= kCaptionHeight && !hit && dragEnabled) {
            PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, at);
        }
    } else if (PtInRect(&captionRect, p) && dragEnabled) {
        PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, at);
    }
    if (!hit) pressRect = kNoRect;
    return false;
}

bool CImagePaint::OnLeftUp(POINT p)
{
    mousePoint = p;
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
        if (!backBrush && (backColor >> 24) != 0) {
            backBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(backColor)));
        }
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
    default: return false;
    }
}
