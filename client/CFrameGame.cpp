#include "CFrameGame.h"

#include "CImageButton.h"
#include "CImageItem.h"
#include "CloseMsgWnd.h"
#include "GameMessages.h"
#include "ScreenPlacement.h"
#include "ThreadWindows.h"
#include "TitleBar.h"
#include "UrlCache.h"
#include "WebLinks.h"
#include "gameApp.h"

#include <cwchar>
#include <functional>
#include <vector>

namespace {

constexpr Gdiplus::ARGB kGameBackColor = 0x0023373C;
constexpr DWORD kBackdropStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD kPageWindowStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kToolTipStyle = WS_POPUP | WS_CLIPCHILDREN;

RECT WorkArea()
{
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    return wa;
}

// Makes window topmost where SetWindowPos(HWND_TOPMOST) alone did not. Wine moves the popups a
// window owns (its tooltip, an open question) to the head of the topmost band first and links
// the window in right under them, where it stays topmost only if the window below it is topmost
// too: a window that owns a popup never gets into the band. Let go of its popups for a moment,
// it goes to the head of the band itself; owned again, they are taken up above it.
void RaiseIntoTopmostBand(HWND window)
{
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    const std::vector<HWND> popups =
        ThreadWindowsWhere([window](HWND h) { return GetWindow(h, GW_OWNER) == window; });
    for (HWND popup : popups) SetWindowLongPtrW(popup, GWLP_HWNDPARENT, 0);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kOrderOnly);
    for (HWND popup : popups) {
        SetWindowLongPtrW(popup, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(window));
        SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, kOrderOnly);
    }
}

}  // namespace

StartupPlaces StartupPlacement(const RECT& wa)
{
    const POINT back = CenteredOnWorkArea(wa, CFrameBack::kWidth, CFrameBack::kHeight);
    return StartupPlaces{back, POINT{back.x + CFrameBack::kGameOffsetX,
                                     back.y + CFrameBack::kGameOffsetY}};
}

POINT CenteredOnWorkArea(const RECT& wa, int w, int h)
{
    return POINT{(wa.right - wa.left - w) / 2, (wa.bottom - wa.top - h) / 2};
}

RECT GameViewPageRect(const RECT& client, bool zoomed)
{
    RECT r = client;
    r.top += CFrameGame::kTitleBarHeight;
    if (!zoomed) {
        r.left += 1;
        r.right -= 1;
        r.bottom -= 1;
    }
    return r;
}

bool IsGameServerAddress(const wchar_t* address)
{
    return address && (wcsstr(address, L"type=3") || wcsstr(address, L"client=1"));
}

CFrameGame::CFrameGame()
{
    LoadIconFromResource(ICON_BIG, 48);
    LoadIconFromResource(ICON_SMALL, 48);
    SetClassName(kGameWindowClass);
}

CFrameGame::~CFrameGame() = default;

void CFrameGame::RunGameWindow()
{
    if (CreateGameWindows(WorkArea())) RunModalLoop();
}

bool CFrameGame::CreateGameWindows(const RECT& workArea)
{
    const StartupPlaces places = StartupPlacement(workArea);
    backdrop.Create(0, backdrop.className, nullptr, kBackdropStyle, places.backdrop.x,
                    places.backdrop.y, CFrameBack::kWidth, CFrameBack::kHeight, nullptr);
    if (GetSystemMetrics(SM_CXSCREEN) >= CFrameBack::kGameWidth &&
        GetSystemMetrics(SM_CYSCREEN) >= CFrameBack::kGameHeight) {
        minWidth = CFrameBack::kGameWidth;
        minHeight = CFrameBack::kGameHeight;
    }
    Create(WS_EX_APPWINDOW, kGameWindowClass, nullptr, kPopupStyle, places.game.x, places.game.y,
           CFrameBack::kGameWidth, CFrameBack::kGameHeight, backdrop.hwnd);
    if (!hwnd) return false;
    backdrop.gameWindow = this;
    return true;
}

void CFrameGame::OnCreate(CREATESTRUCTW*)
{
    using namespace std::placeholders;
    titleFont = title_bar::MakeTitleFont();
    titleBrush.Reset(new Gdiplus::SolidBrush(Gdiplus::Color(0xFFFFFFFF)));
    LoadIconFromResource(ICON_BIG, 64);
    LoadIconFromResource(ICON_SMALL, 64);
    SetWindowTextW(hwnd, kProductTitle);

    RECT client = {};
    GetClientRect(hwnd, &client);
    html.Create(0, html.className, L"", kPageWindowStyle, &client, hwnd);

    CWebBrowser& browser = html.browser;
    browser.SetNavigateCompleteHandler(std::bind(&CFrameGame::OnNavigateComplete, this, _1));
    browser.SetNavigateErrorHandler(std::bind(&CFrameGame::OnNavigateError, this, _1, _2, _3, _4));
    offline.CreateOver(hwnd, html.hwnd);
    offline.retry = [this](const wchar_t* url) { html.browser.Navigate(url, navNoHistory); };
    browser.SetNewWindowHandler(std::bind(&CFrameGame::OnNewWindow, this, _1, _2, _3, _4, _5));
    browser.SetDocumentCompleteHandler(std::bind(&CFrameGame::OnDocumentComplete, this, _1, _2));
    browser.AddExternalName(L"pelvar_title");
    browser.SetExternalHandler(std::bind(&CFrameGame::OnPageCall, this, _1, _2));

    if (clientApp) browser.Navigate(clientApp->startUrl, navNoHistory);
    if (browser.webBrowser) browser.webBrowser->put_Silent(VARIANT_TRUE);

    ToolsMenu::SetUp(toolsMenu, std::bind(&ToolsMenu::OnItemClick, &tools, _1));
    tools.refresh = [this] {
        if (html.browser.webBrowser) html.browser.webBrowser->Refresh();
    };
    ToolsMenu::SetUp(trayMenu, std::bind(&TrayMenu::OnItemClick, &tray, _1));
    tray.dismissPopups = [this] {
        if (toolsMenu.hwnd && IsWindowVisible(toolsMenu.hwnd)) ShowWindow(toolsMenu.hwnd, SW_HIDE);
        toolTip.HideTip();
        titleTips.current = 0;
    };
    TrayMenu::FillIcon(trayIcon, hwnd);
}

LRESULT CFrameGame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        // The low four bits are the system's own.
        if (!gameView && backdrop.hwnd) {
            if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(backdrop.hwnd, SW_HIDE);
            else if ((wParam & 0xFFF0) == SC_RESTORE) ShowWindow(backdrop.hwnd, SW_SHOW);
        }
        break;
    case WM_SETFOCUS:
        // The skinned frame takes no keys: they belong to the page.
        FocusPage();
        return 0;
    case WM_HOTKEY: tray.OnHotKey(wParam); break;
    case WM_GAME_COMMAND:
        switch (wParam) {
        case CMD_ENTER_GAME_VIEW: EnterGameView(); break;
        case CMD_DESTROY:
            // Nothing of the window is left to handle the message afterwards.
            DestroyWindow(hwnd);
            return 1;
        case CMD_TOGGLE_FULL_SCREEN: ToggleFullScreen(); break;
        case CMD_LEAVE_FULL_SCREEN:
            if (fullScreen) ToggleFullScreen();
            break;
        default: break;
        }
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
            FollowVisibility(IsWindowVisible(hwnd) != FALSE);
        break;
    }
    case WM_TRAY_ICON:
        if (tray.OnTrayIcon(wParam, lParam)) return 1;
        break;
    default: break;
    }
    const LRESULT result = CImageCtrl::HandleMessage(message, wParam, lParam);
    if (gameView) titleTips.OnMouseMessage(toolTip, message, painter.hot);
    // Activated (by a click, Alt+Tab, a restore or the boss key's return): the page gets the
    // keyboard, whatever the base handling did with the focus.
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) FocusPage();
    return result;
}

void CFrameGame::EnterGameView()
{
    if (gameView) return;
    gameView = true;
    backdrop.EnterGameView();
    html.gameView = true;
    ShowWindow(hwnd, SW_HIDE);
    painter.dragEnabled = true;
    painter.fillBackground = true;
    resizable = true;
    roundCorners = true;
    painter.SetBackColor(kGameBackColor);
    bossKey.ReadConfig(clientApp ? clientApp->moduleDir : L"");
    RECT client = {};
    GetClientRect(hwnd, &client);
    title_bar::Build(painter, client);
    toolTip.Create(0, L"ToolTip", nullptr, kToolTipStyle, 0, 0, 0, 0, hwnd);
    bossKey.Register(hwnd);
    tools.bossKeyLabel = bossKey.MenuLabel();
    if (GetSystemMetrics(SM_CXSCREEN) >= 1020 && GetSystemMetrics(SM_CYSCREEN) >= 704) {
        minWidth = 1020;
        minHeight = 704;
    }
    const POINT p = CenteredOnWorkArea(WorkArea(), minWidth, minHeight);
    MoveWindow(hwnd, p.x, p.y, minWidth, minHeight, TRUE);
    SetTimer(hwnd, TIMER_SHOW_MAXIMIZED, 500, nullptr);
}

void CFrameGame::OnTimer(UINT_PTR id)
{
    if (id == TIMER_ENTER_GAME_VIEW) {
        if (!gameView) PostMessageW(hwnd, WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
        KillTimer(hwnd, id);
    } else if (id == TIMER_SHOW_MAXIMIZED) {
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        SetForegroundWindow(hwnd);
        KillTimer(hwnd, id);
    }
}

HWND CFrameGame::PageWindow() const
{
    // The innermost window of the browser control (the document's own window where the engine
    // makes one) is the one that handles the page's keys.
    HWND page = html.hwnd;
    while (page) {
        HWND child = GetWindow(page, GW_CHILD);
        if (!child) break;
        page = child;
    }
    return page;
}

void CFrameGame::FocusPage()
{
    if (!hwnd || IsIconic(hwnd)) return;
    HWND page = PageWindow();
    if (page && GetFocus() != page && IsWindowVisible(page)) SetFocus(page);
}

void CFrameGame::ToggleFullScreen()
{
    if (!IsWindowVisible(hwnd)) return;
    fullScreen = !fullScreen;
    painter.dragEnabled = !fullScreen;
    if (fullScreen) {
        SetForegroundWindow(hwnd);
        SwitchToThisWindow(hwnd, TRUE);
        if (html.hwnd) SetFocus(html.hwnd);
        GetWindowRect(hwnd, &savedRect);
        // The whole of the monitor that holds the window, not always the primary one.
        const RECT screen = screen_placement::MonitorOf(hwnd).whole;
        SetWindowPos(hwnd, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top, SWP_SHOWWINDOW);
        if (!(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) RaiseIntoTopmostBand(hwnd);
        // Full screen gives the page the title bar's strip too.
        RECT client = {};
        GetClientRect(hwnd, &client);
        if (html.hwnd) MoveWindow(html.hwnd, 0, 0, client.right, client.bottom, TRUE);
        offline.FollowPage();
    } else {
        // Wine keeps an owned window topmost when its owner lies right under it (it inserts the
        // window after itself); with the owner put to the bottom first, the order is honoured.
        const HWND owner = GetWindow(hwnd, GW_OWNER);
        if (owner) {
            SetWindowPos(owner, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
        SetWindowPos(hwnd, HWND_NOTOPMOST, savedRect.left, savedRect.top,
                     savedRect.right - savedRect.left, savedRect.bottom - savedRect.top,
                     SWP_SHOWWINDOW);
    }
}

void CFrameGame::OnSize(UINT, int, int)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    if (!gameView) {
        if (html.hwnd) MoveWindow(html.hwnd, 0, 0, client.right, client.bottom, TRUE);
        offline.FollowPage();
        return;
    }
    const RECT page = GameViewPageRect(client, IsZoomed(hwnd) != FALSE);
    if (html.hwnd) {
        MoveWindow(html.hwnd, page.left, page.top, page.right - page.left,
                   page.bottom - page.top, TRUE);
    }
    offline.FollowPage();
    // Maximised or restored, the shadow frame follows (it has none while maximised).
    FollowVisibility(IsWindowVisible(hwnd) != FALSE);
    // A new frame size re-renders the frame in the backdrop's own WM_SIZE; only an unchanged
    // size needs the redraw asked for here.
    if (!PlaceBackdrop()) backdrop.painter.UpdateLayered();
}

void CFrameGame::OnMove(int, int)
{
    if (gameView) PlaceBackdrop();
}

bool CFrameGame::PlaceBackdrop()
{
    if (!backdrop.hwnd) return false;
    RECT w = {}, old = {};
    GetWindowRect(hwnd, &w);
    GetWindowRect(backdrop.hwnd, &old);
    const RECT f = ShadowRectFor(w, backdrop.shadowSize);
    MoveWindow(backdrop.hwnd, f.left, f.top, f.right - f.left, f.bottom - f.top, TRUE);
    return f.right - f.left != old.right - old.left || f.bottom - f.top != old.bottom - old.top;
}

void CFrameGame::OnShowWindow(BOOL show, UINT)
{
    if (!backdrop.hwnd) return;
    if (!gameView) {
        ShowWindow(backdrop.hwnd, show ? SW_SHOW : SW_HIDE);
        return;
    }
    FollowVisibility(show != FALSE);
}

void CFrameGame::FollowVisibility(bool shown)
{
    // In the game view the shadow frame goes and comes with the game window (a frame left on
    // the screen would give a window hidden by the boss key away); it never takes activation.
    // Showing maximised sends no WM_SHOWWINDOW, so window-position changes call this too.
    // Maximised or in full screen the window has no shadow: the frame would reach onto a
    // neighbouring monitor.
    if (!gameView || !backdrop.hwnd) return;
    const bool wanted = shown && !fullScreen && !IsZoomed(hwnd);
    if (wanted != (IsWindowVisible(backdrop.hwnd) != FALSE))
        ShowWindow(backdrop.hwnd, wanted ? SW_SHOWNA : SW_HIDE);
}

void CFrameGame::OnDestroy()
{
    titleFont.Reset();
    titleBrush.Reset();
    UnregisterHotKey(hwnd, HOTKEY_BOSS);
    // A window destroyed while hidden by the boss key (CMD_DESTROY) takes its tray icon along.
    if (bossHidden) {
        Shell_NotifyIconW(NIM_DELETE, &trayIcon);
        HoldCacheMessage(false);
    }
    if (backdrop.hwnd) PostMessageW(backdrop.hwnd, WM_CLOSE, 0, 0);
    if (clientApp) PostThreadMessageW(clientApp->threadId, WM_QUIT, 0, 0);
}

bool CFrameGame::OnButtonHover(CImageButton* button)
{
    if (gameView) titleTips.OnHover(toolTip, button);
    return true;
}

bool CFrameGame::OnButtonClick(CImageButton* button)
{
    if (!button) return true;
    if (button->id != CImagePaint::kCloseId)
        return title_bar::OnClick(button->id, hwnd, [this] { tools.Open(hwnd); });
    const HWND self = hwnd;
    // The question runs a loop of its own; the window may be gone when it answers.
    if (AskToClose(self) == 1 && IsWindow(self)) DestroyWindow(self);
    return false;
}

void CFrameGame::OnDrawOverlay(Gdiplus::Graphics& g)
{
    title_bar::DrawTitleText(g, titleText, titleFont.Get(), titleBrush.Get(), gameView);
}

void CFrameGame::OnNavigateComplete(const wchar_t* url)
{
    offline.OnNavigationEnded(url, S_OK);
    if (!gameView) {
        if (IsGameServerAddress(url)) SetTimer(hwnd, TIMER_ENTER_GAME_VIEW, 1500, nullptr);
        return;
    }
    html.OnSize(0, 0, 0);
}

void CFrameGame::OnNavigateError(IDispatch* frame, const wchar_t* url, long status,
                                 VARIANT_BOOL* cancel)
{
    // Only the top-level navigation decides; a failed frame inside a page leaves the page alone.
    if (!html.browser.IsTopLevel(frame)) return;
    // With the notice up, the control's own error page is not wanted under it.
    if (offline.OnNavigationEnded(url, status) && cancel) *cancel = VARIANT_TRUE;
}

CFrameGame::DocumentTitle CFrameGame::ReadDocumentTitle()
{
    DocumentTitle result;
    ComPtr<IHTMLDocument2> doc = html.browser.GetDocument();
    if (!doc) return result;
    result.hasDocument = true;
    UniqueBstr title;
    if (SUCCEEDED(doc->get_title(title.Put())) && title) {
        result.hasTitle = true;
        result.title.assign(title.Get(), SysStringLen(title.Get()));
    }
    return result;
}

void CFrameGame::OnDocumentComplete(IDispatch*, const wchar_t* url)
{
    const DocumentTitle doc = documentTitleSource ? documentTitleSource() : ReadDocumentTitle();
    if (!doc.hasDocument || !url) return;
    if (doc.hasTitle && !titleFromPage) CopyBoundedText(titleText, doc.title.c_str());
    if (gameView) {
        html.OnSize(0, 0, 0);
    } else if (IsGameServerAddress(url)) {
        PostMessageW(hwnd, WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
    }
}

void CFrameGame::OnNewWindow(IDispatch**, short*& cancel, unsigned long, wchar_t*, wchar_t* url)
{
    // Only web addresses reach the shell: a page must not start local programs.
    if (url) web_links::OpenInBrowser(url);
    if (cancel) *cancel = VARIANT_TRUE;
}

std::wstring CFrameGame::OnPageCall(unsigned dispid, const std::vector<std::wstring>& args)
{
    if (dispid == static_cast<unsigned>(kTitleCallId) && args.size() == 1) {
        titleFromPage = true;
        CopyBoundedText(titleText, args[0].c_str());
    }
    return std::wstring();
}

