#include "CMyHtml.h"

#include "GameMessages.h"

#include <cwchar>

namespace {

constexpr wchar_t kFlashWindowClass[] = L"MacromediaFlashPlayerActiveX";
constexpr int kStartupExtraHeight = 4;

// What FindWindowMatching looks for; empty or zero fields match anything.
struct WindowCriteria {
    DWORD processId;
    HWND result;
    wchar_t title[256];
    wchar_t className[256];
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* criteria = reinterpret_cast<WindowCriteria*>(param);
    wchar_t text[256] = {};
    wchar_t name[256] = {};
    GetWindowTextW(window, text, 255);
    GetClassNameW(window, name, 255);
    if (criteria->title[0] && wcscmp(criteria->title, text) != 0) return TRUE;
    if (criteria->className[0] && wcscmp(criteria->className, name) != 0) return TRUE;
    if (criteria->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != criteria->processId) return TRUE;
    }
    criteria->result = window;
    return FALSE;
}

void MoveTo(HWND window, const RECT& r)
{
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

}  // namespace

RECT BrowserPlacement(const RECT& client, bool gameView)
{
    RECT r = client;
    if (!gameView) r.bottom += kStartupExtraHeight;
    return r;
}

HWND FindFlashWindow(HWND parent)
{
    WindowCriteria criteria = {};
    wcsncpy(criteria.className, kFlashWindowClass, 255);
    EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&criteria));
    return criteria.result;
}

void CMyHtml::OnCreate(CREATESTRUCTW*) { browser.CreateControl(hwnd); }

void CMyHtml::OnDestroy()
{
    // The control stays alive until this object goes; only the activation flag is reset.
    browser.inPlaceActive = 0;
}

void CMyHtml::OnSize(UINT, int, int)
{
    RECT r = {};
    if (IsWindow(hwnd)) GetClientRect(hwnd, &r);
    RECT page = BrowserPlacement(r, gameView);
    HWND w = browser.GetBrowserWindow();
    if (w) {
        MoveTo(w, page);
    } else {
        // Without the shell browser's window (Wine provides none), place the control's own
        // in-place window, so the page fills the child everywhere.
        w = browser.GetInPlaceWindow();
        if (!w) return;
        browser.SetObjectRects(page);
    }
    HWND flash = FindFlashWindow(w);
    if (flash) MoveTo(flash, r);
}

int CMyHtml::PreTranslateMessage(MSG* msg)
{
    if (!msg) return 0;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && gameView) {
        switch (msg->wParam) {
        case VK_TAB:
            if (HWND flash = FindFlashWindow(hwnd)) SetFocus(flash);
            break;
        case VK_ESCAPE:
            PostMessageW(GetParent(hwnd), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
            break;
        case VK_F10:
            PostMessageW(GetParent(hwnd), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
            return 1;
        default:
            break;
        }
    }
    return browser.TranslateKey(msg) == S_OK ? 1 : 0;
}
