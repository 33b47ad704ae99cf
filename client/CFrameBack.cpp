#include "CFrameBack.h"
#include "CFrameGame.h"
#include "CImageButton.h"
#include "CloseMsgWnd.h"
#include "OperatorSite.h"
#include "SkinDrawing.h"
#include "WebLinks.h"

#include <functional>

namespace {

struct BackButton {
    int id;
    RECT rect;
    int images[4];
};

// The picture's buttons; minimising uses the painter's built-in identifier.
constexpr int kMinimizeId = CImagePaint::kMinimizeId;
constexpr int kCloseId = 1002;
constexpr int kOfficialSiteId = 1003;
constexpr int kOfficialSiteAgainId = 1004;
constexpr int kCustomerServiceId = 1005;
constexpr int kRechargeId = 1006;

const BackButton kButtons[] = {
    {kMinimizeId, {1047, 185, 1070, 208}, {135, 154, 154, 135}},
    {kCloseId, {1031, 157, 1059, 185}, {130, 153, 153, 130}},
    {kOfficialSiteId, {500, 171, 584, 195}, {131, 155, 155, 131}},
    {kOfficialSiteAgainId, {897, 171, 981, 195}, {132, 151, 151, 132}},
    {kCustomerServiceId, {801, 171, 885, 195}, {133, 152, 152, 133}},
    {kRechargeId, {408, 171, 492, 195}, {134, 156, 156, 134}},
};

constexpr int kPictureKey = CImagePaint::kRemovableStaticKey;
constexpr int kPicturePng = 145;

void OpenOperatorPage(const wchar_t* path)
{
    web_links::OpenInBrowser(operator_site::Address(path).c_str());
}

}  // namespace

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
        MakeSkinnedStyle(hwnd);
    }
    // A click on the backdrop leaves the activation with the game window above it: activated,
    // the backdrop would be raised over the window it owns (and under Wine stay over it in the
    // X stacking, hiding the page).
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
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
    painter.dragWithoutActivation = true;

    rim.MakePens();

    for (const BackButton& b : kButtons)
        painter.AddButton(b.id, b.rect, 0, b.images[0], b.images[1], b.images[2], b.images[3]);
    painter.AddStatic(client, kPicturePng, kPictureKey, false);

    // EnableLayered renders and pushes the first frame; a second render would push the same.
    painter.EnableLayered();
}

void CFrameBack::OnDestroy() { rim.ReleasePens(); }

void CFrameBack::OnMove(int, int)
{
    if (gameView || !gameWindow || !gameWindow->hwnd) return;
    RECT w = {};
    GetWindowRect(hwnd, &w);
    MoveWindow(gameWindow->hwnd, w.left + kGameOffsetX, w.top + kGameOffsetY, kGameWidth,
               kGameHeight, TRUE);
}

void CFrameBack::OnShowWindow(BOOL, UINT)
{
    // The painter has already put the frame up for this WM_SHOWWINDOW (it sees the message
    // first), re-rendering only when something changed while the window was hidden.
}

bool CFrameBack::OnButtonClick(CImageButton* button)
{
    if (!button) return true;
    switch (button->id) {
    case kMinimizeId:
        if (gameWindow && gameWindow->hwnd) ShowWindow(gameWindow->hwnd, SW_MINIMIZE);
        ShowWindow(hwnd, SW_HIDE);
        return false;
    case kCloseId: {
        const HWND self = hwnd;
        CFrameGame* const game = gameWindow;
        const int answer = AskToClose(self);
        if (answer != 1) return true;
        // The question ran a message loop: the windows may be gone by now.
        if (IsWindow(self)) ShowWindow(self, SW_HIDE);
        if (game && game->hwnd) PostMessageW(game->hwnd, WM_CLOSE, 0, 0);
        return false;
    }
    case kOfficialSiteId:
    case kOfficialSiteAgainId: OpenOperatorPage(operator_site::kOfficialSitePath); return true;
    case kCustomerServiceId: OpenOperatorPage(operator_site::kCustomerServicePath); return true;
    case kRechargeId: OpenOperatorPage(operator_site::kRechargePath); return true;
    default: return true;
    }
}

void CFrameBack::EnterGameView()
{
    gameView = true;
    painter.dragEnabled = false;
    painter.RemoveStatic();
    for (int id : {kRechargeId, kOfficialSiteId, kOfficialSiteAgainId, kCustomerServiceId, kCloseId,
                   kMinimizeId}) {
        painter.RemoveButton(id);
    }
}

void CFrameBack::DrawShadowFrame(Gdiplus::Graphics& g)
{
    if (!gameView) return;
    RECT rc = {};
    GetClientRect(hwnd, &rc);
    rim.Draw(g, rc, shadowSize, cornerRadius);
}
