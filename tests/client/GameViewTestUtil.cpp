#include "GameViewTestUtil.h"
#include "GameMessages.h"

namespace gameview_test {

std::vector<HWND> MessageBoxes()
{
    std::vector<HWND> found;
    EnumWindows(
        [](HWND hwnd, LPARAM out) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t cls[32] = {};
            GetClassNameW(hwnd, cls, 32);
            if (pid == GetCurrentProcessId() && wcscmp(cls, L"#32770") == 0 &&
                IsWindowVisible(hwnd)) {
                reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

void Answer(HWND box, int buttonId)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

std::vector<int> VisibleButtons(HWND dialog)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (_wcsicmp(cls, L"Button") == 0 && IsWindowVisible(child)) {
            ids.push_back(GetDlgCtrlID(child));
        }
    }
    return ids;
}

}  // namespace gameview_test

#include <functional>

#include "CImageButton.h"
#include "TitleBar.h"

namespace gameview_test {

GameWindow::GameWindow()
{
    SetClassName(L"gameview_test_window");
}

GameWindow::~GameWindow()
{
    Close();
}

bool GameWindow::Open()
{
    using std::placeholders::_1;
    titleFont = title_bar::MakeTitleFont();
    titleBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFFFFFFFF)));
    ToolsMenu::SetUp(toolsMenu, std::bind(&ToolsMenu::OnItemClick, &tools, _1));
    ToolsMenu::SetUp(trayMenu, std::bind(&TrayMenu::OnItemClick, &tray, _1));
    tools.refresh = [this] { ++refreshes; };
    if (!Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 80, 600, 386,
                nullptr)) {
        return false;
    }
    TrayMenu::FillIcon(trayIcon, hwnd);
    return true;
}

void GameWindow::EnterGameView()
{
    gameView = true;
    painter.dragEnabled = true;
    painter.SetBackColor(0x0023373C);
    RECT client = {};
    GetClientRect(hwnd, &client);
    title_bar::Build(painter, client);
    toolTip.Create(0, L"ToolTip", nullptr, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, hwnd);
    bossKey.Register(hwnd);
    tools.bossKeyLabel = bossKey.MenuLabel();
}

void GameWindow::Close()
{
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
    if (bossHidden) Shell_NotifyIconW(NIM_DELETE, &trayIcon);
    bossHidden = false;
}

LRESULT GameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HOTKEY: tray.OnHotKey(wParam); break;
    case WM_TRAY_ICON:
        if (tray.OnTrayIcon(wParam, lParam)) return 1;
        break;
    default: break;
    }
    const LRESULT result = CImageCtrl::HandleMessage(message, wParam, lParam);
    if (gameView) tips.OnMouseMessage(toolTip, message, painter.hot);
    return result;
}

bool GameWindow::OnButtonClick(CImageButton* button)
{
    if (!button) return true;
    return title_bar::OnClick(button->id, hwnd, [this] { tools.Open(hwnd); });
}

bool GameWindow::OnButtonHover(CImageButton* button)
{
    if (gameView) tips.OnHover(toolTip, button);
    return true;
}

void GameWindow::OnDrawOverlay(Gdiplus::Graphics& g)
{
    title_bar::DrawTitleText(g, titleText, titleFont.Get(), titleBrush.Get(), gameView);
}

}  // namespace gameview_test
