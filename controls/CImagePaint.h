#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <vector>

#include "CLayeredSurface.h"
#include "UniqueHandle.h"

class CImageButton;
class CImageStatic;

// The engine inside a skinned window: owns its statics and buttons, paints them in a fixed order
// into an off-screen or layered surface, tracks the pointer over the buttons and runs the
// built-in title-bar actions. The owner passes it the messages it does not fully handle itself.
class CImagePaint {
public:
    using ButtonHandler = std::function<bool(CImageButton*)>;
    using DrawHandler = std::function<void(Gdiplus::Graphics&)>;

    // Built-in button identifiers.
    enum : int { kCloseId = 10, kMinimizeId = 20, kMaximizeId = 30, kRestoreId = 40 };
    // The key of the one static that is ever removed (a picture the window drops).
    static constexpr int kRemovableStaticKey = 1007;
    // Height of the default caption strip (y <= 40).
    static constexpr int kCaptionHeight = 40;

    CImagePaint();
    CImagePaint(const CImagePaint&) = delete;
    CImagePaint& operator=(const CImagePaint&) = delete;
    virtual ~CImagePaint();
    // The left-click action; false = stop (the window may be gone).
    virtual bool OnClick(CImageButton* button);

    CImageButton* AddButton(int id, const RECT& rect, int spare, int imgNormal, int imgHover,
                            int imgPressed, int imgExtra);
    CImageButton* FindButton(int id) const;
    bool RemoveButton(int id);
    CImageStatic* AddStatic(const RECT& rect, int pngId, int key, bool cleanStretch);
    CImageStatic* FindStatic(int key) const;
    // Removes the static with kRemovableStaticKey.
    bool RemoveStatic();
    void SetBackColor(Gdiplus::ARGB color);
    void EnableLayered();
    // Renders the whole layered surface and pushes it.
    void UpdateLayered();
    void ClearElements();
    void ToggleMaximize();
    void LayoutAnchors(int cx, int cy);
    void PaintWindow();
    // The drawing order on g; with an update rectangle only the elements that intersect it.
    // With the layered surface g draws on, static pictures drawn at their own size are blended
    // into its pixels directly.
    void DrawElements(Gdiplus::Graphics& g, const RECT* update, CLayeredSurface* pixels = nullptr);

    void SetOnButtonDown(ButtonHandler f) { onButtonDown = std::move(f); }
    void SetOnButtonClick(ButtonHandler f) { onButtonClick = std::move(f); }
    void SetOnButtonHover(ButtonHandler f) { onButtonHover = std::move(f); }
    void SetOnButtonRightDown(ButtonHandler f) { onButtonRightDown = std::move(f); }
    void SetOnButtonRightClick(ButtonHandler f) { onButtonRightClick = std::move(f); }
    void SetOnDrawBackground(DrawHandler f) { onDrawBackground = std::move(f); }
    void SetOnDrawOverlay(DrawHandler f) { onDrawOverlay = std::move(f); }

    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The first visible button outside 100-250 whose rectangle contains p, or null.
    static CImageButton* HotCandidate(const std::vector<std::unique_ptr<CImageButton>>& buttons,
                                      POINT p);
    static bool NeverHot(int id) { return id >= 100 && id <= 250; }

    UpdateLayeredWindowFn updateLayered = nullptr;
    bool layered = false;
    bool captured = false;
    bool leftPressed = false;
    RECT pressRect = {};
    bool rightPressed = false;
    bool tracking = false;
    RECT rightPressRect = {};
    bool dragEnabled = false;
    // Drags on the caption move the window by the painter's own capture and moves instead of
    // the system's caption drag, which activates the window (under Wine that raises it over the
    // windows it owns in the X stacking, where it then stays).
    bool dragWithoutActivation = false;
    bool fillBackground = true;
    GdipPtr<Gdiplus::SolidBrush> backBrush;
    Gdiplus::ARGB backColor = 0xFFFAFAFA;
    RECT captionRect = {};
    POINT mousePoint = {-1, 0};
    BYTE alpha = 255;
    CImageButton* hot = nullptr;          // one of buttons
    std::vector<std::unique_ptr<CImageStatic>> statics;
    std::vector<std::unique_ptr<CImageButton>> buttons;
    ButtonHandler onButtonDown;
    ButtonHandler onButtonClick;
    ButtonHandler onButtonHover;
    ButtonHandler onButtonRightDown;
    ButtonHandler onButtonRightClick;
    DrawHandler onDrawBackground;
    DrawHandler onDrawOverlay;
    HWND hwnd = nullptr;

private:
    // Redraw r: an ordinary window invalidates it; a layered one re-renders just r on its kept
    // surface and pushes once.
    void Redraw(const RECT& r);
    // Notes r as changed (an ordinary window invalidates it at once); FlushLayered then renders
    // everything noted since the last render with one push.
    void Invalidate(const RECT& r);
    void FlushLayered();
    void RenderLayered(const std::vector<RECT>* areas);
    void ShowLayered();
    void Push();
    bool OnMouseMove(POINT p);
    bool OnMouseLeave();
    bool OnLeftDown(POINT p);
    bool OnLeftUp(POINT p);
    bool OnRightDown(POINT p);
    bool OnRightUp(POINT p);
    // A press on the caption: the system's drag, or the painter's own with dragWithoutActivation.
    void StartDrag(POINT p);
    void DragTo(POINT p);
    bool Owns(const CImageButton* button) const;
    void PrintClient(HDC dc);

    // The layered window's surface, kept between renders while the client size stays the same.
    CLayeredSurface surface;
    std::vector<RECT> dirty;        // layered areas changed since the last render
    bool surfaceCurrent = false;    // the surface shows every change the painter knows of
    // The last push was made while the window was hidden (before its first showing, say), at
    // pushedAlpha: showing the window shows those pixels without another push.
    bool pushedWhileHidden = false;
    BYTE pushedAlpha = 0;
    bool dragging = false;          // the painter's own drag holds the capture
    POINT dragGrip = {};            // the client point the drag holds the window by
};
