#include "CFrameBack.h"
#include "CFrameGame.h"
#include "CImageButton.h"
#include "CloseMsgWnd.h"
#include "OperatorSite.h"
#include "SkinDrawing.h"
#include "WebLinks.h"

#include <cstring>
#include <functional>
#include <new>

namespace {

struct BackButton {
    int id;
    RECT rect;
    int images[4];
};

const BackButton kButtons[] = {
    {20, {1047, 185, 1070, 208}, {135, 154, 154, 135}},
    {1002, {1031, 157, 1059, 185}, {130, 153, 153, 130}},
    {1003, {500, 171, 584, 195}, {131, 155, 155, 131}},
    {1004, {897, 171, 981, 195}, {132, 151, 151, 132}},
    {1005, {801, 171, 885, 195}, {133, 152, 152, 133}},
    {1006, {408, 171, 492, 195}, {134, 156, 156, 134}},
};

constexpr int kPictureKey = 1007;
constexpr int kPicturePng = 145;
const float kPenWidths[3] = {2.0f, 2.0f, 4.0f};

void OpenOperatorPage(const wchar_t* path)
{
    web_links::OpenInBrowser(operator_site::Address(path).c_str());
}

}  // namespace

void AddRoundedRect(Gdiplus::GraphicsPath& path, const RECT& rc, int a, int b)
{
    const INT L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    path.AddArc(L, T, 2 * a, 2 * b, 180.0f, 90.0f);
    path.AddLine(L + a, T, R - a, T);
    path.AddArc(R - 2 * a, T, 2 * a, 2 * b, 270.0f, 90.0f);
    path.AddLine(R, T + b, R, B - b);
    path.AddArc(R - 2 * a, B - 2 * b, 2 * a, 2 * b, 0.0f, 90.0f);
    path.AddLine(R - a, B, L + a, B);
    path.AddArc(L, B - 2 * b, 2 * a, 2 * b, 90.0f, 90.0f);
    path.AddLine(L, B - b, L, T + b);
}

void ShadowOutlines(const RECT& rc, int s, int r, ShadowOutline out[3])
{
    out[0] = {{rc.left + s - 5, rc.top + s - 5, rc.right + 4 - s, rc.bottom + 4 - s}, r + 1};
    out[1] = {{rc.left + s - 3, rc.top + s - 3, rc.right + 2 - s, rc.bottom + 2 - s}, r + 1};
    out[2] = {{rc.left + s, rc.top + s, rc.right - 1 - s, rc.bottom - 1 - s}, r - 1};
}

CFrameBack::CFrameBack()
{
    SetClassName(L"pelvar_back");
}

CFrameBack::~CFrameBack() = default;

LRESULT CFrameBack::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    using std::placeholders::_1;
    if (message == WM_NCCREATE) {
        painter.hwnd = hwnd;
        painter.SetOnButtonClick(std::bind(&CFrameBack::OnButtonClick, this, _1));
        painter.SetOnDrawOverlay(std::bind(&CFrameBack::DrawShadowFrame, this, _1));
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        SetWindowLongPtrW(hwnd, GWL_STYLE,
                          (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | 0x02010100);
    }
    return painter.ProcessMessage(message, wParam, lParam) ? 1 : 0;
}

void CFrameBack::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);
    MakeToolWindow(hwnd);

    RECT client = {};
    GetClientRect(hwnd, &client);
    painter.captionRect = client;
    painter.dragEnabled = true;

    ReleasePens();
    for (int i = 0; i < 3; ++i)
        pens[i].Reset(new Gdiplus::Pen(Gdiplus::Color(penColors[i]), kPenWidths[i]));

    for (const BackButton& b : kButtons)
        painter.AddButton(b.id, b.rect, 0, b.images[0], b.images[1], b.images[2], b.images[3]);
    painter.AddStatic(client, kPicturePng, kPictureKey, false);

    painter.EnableLayered();
    painter.UpdateLayered();
}

void CFrameBack::OnDestroy()
{
    ReleasePens();
}

void CFrameBack::ReleasePens()
{
    for (auto& pen : pens) pen.Reset();
}

void CFrameBack::OnMove(int, int)
{
    if (gameView || !gameWindow || !gameWindow->hwnd) return;
    RECT w = {};
    GetWindowRect(hwnd, &w);
    MoveWindow(gameWindow->hwnd, w.left + kGameOffsetX, w.top + kGameOffsetY, kGameWidth,
               kGameHeight, TRUE);
}

void CFrameBack::OnShowWindow(BOOL show, UINT)
{
    if (show) painter.UpdateLayered();
}

bool CFrameBack::OnButtonClick(CImageButton* button)
{
    if (!button) return true;
    switch (button->id) {
    case 20:
        if (gameWindow && gameWindow->hwnd) ShowWindow(gameWindow->hwnd, SW_MINIMIZE);
        ShowWindow(hwnd, SW_HIDE);
        return false;
    case 1002: {
        const HWND self = hwnd;
        CFrameGame* const game = gameWindow;
        const int answer = AskToClose(self);
        if (answer != 1) return true;
        // The question ran a message loop: the windows may be gone by now.
        if (IsWindow(self)) ShowWindow(self, SW_HIDE);
        if (game && game->hwnd) PostMessageW(game->hwnd, WM_CLOSE, 0, 0);
        return false;
    }
    case 1003:
    case 1004: OpenOperatorPage(operator_site::kOfficialSitePath); return true;
    case 1005: OpenOperatorPage(operator_site::kCustomerServicePath); return true;
    case 1006: OpenOperatorPage(operator_site::kRechargePath); return true;
    default: return true;
    }
}

void CFrameBack::EnterGameView()
{
    gameView = true;
    painter.dragEnabled = false;
    painter.RemoveStatic();
    for (int id : {1006, 1003, 1004, 1005, 1002, 20}) painter.RemoveButton(id);
}

void CFrameBack::DrawShadowFrame(Gdiplus::Graphics& g)
{
    if (!gameView) return;
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    ShadowOutline outlines[3];
    ShadowOutlines(rc, shadowSize, cornerRadius, outlines);
    for (int i = 0; i < 3; ++i) {
        GdipPtr<Gdiplus::GraphicsPath> path(new Gdiplus::GraphicsPath());
        AddRoundedRect(*path, outlines[i].rect, outlines[i].radius, outlines[i].radius);
        if (pens[i]) g.DrawPath(pens[i].Get(), path.Get());
    }
}
