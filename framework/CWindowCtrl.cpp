#include "CWindowCtrl.h"
#include "CAppManager.h"
#include "WindowClass.h"

#include <cwchar>

namespace {
// Binds a dialog to the object that asked for it; dialog procedures must not call DefWindowProc,
// so dialogs get a procedure of their own rather than SharedWindowProc.
INT_PTR CALLBACK ModalDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAppManager* app = FindApp(GetCurrentThreadId());
    if (!app) return FALSE;
    CWindowCtrl* obj = app->FindWindowObject(hwnd);
    if (message == WM_INITDIALOG) {
        obj = reinterpret_cast<CWindowCtrl*>(lParam);
        if (!obj) return TRUE;
        obj->hwnd = hwnd;
        obj->app = app;
        app->AddWindow(hwnd, obj);
        return TRUE;
    }
    if (message == WM_NCDESTROY) {
        app->RemoveWindow(hwnd);
        return FALSE;
    }
    return obj ? static_cast<INT_PTR>(obj->HandleMessage(message, wParam, lParam)) : FALSE;
}
}  // namespace

CWindowCtrl::CWindowCtrl()
{
    SetClassName(L"ImageWnd");
}

CWindowCtrl::~CWindowCtrl()
{
    HWND h = hwnd;
    if (app) app->RemoveWindow(h);
    if (h && IsWindow(h)) PostMessageW(h, WM_CLOSE, 0, 0);
}

HWND CWindowCtrl::Create(DWORD exStyle, const wchar_t* name, const wchar_t* title, DWORD style,
                         const RECT* rect, HWND parent)
{
    RECT r = rect ? *rect : RECT{};
    return Create(exStyle, name, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                  parent);
}

HWND CWindowCtrl::Create(DWORD exStyle, const wchar_t* name, const wchar_t* title, DWORD style,
                         int x, int y, int width, int height, HWND parent)
{
    CAppManager* threadApp = FindApp(GetCurrentThreadId());
    if (!threadApp) return nullptr;
    if (hwnd && IsWindow(hwnd)) return hwnd;
    if (name && *name) SetClassName(name);
    if (!RegisterWindowClass(className)) return hwnd;
    app = threadApp;
    hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, nullptr,
                           moduleInstance, this);
    return hwnd;
}

INT_PTR CWindowCtrl::DoModal(const wchar_t* templateName, HWND parent)
{
    CAppManager* threadApp = FindApp(GetCurrentThreadId());
    if (!threadApp) return 0;
    if (hwnd && IsWindow(hwnd)) return dialogResult;
    if (!RegisterWindowClass(className)) return dialogResult;
    app = threadApp;
    dialogResult = DialogBoxParamW(GetModuleHandleW(nullptr), templateName, parent,
                                   ModalDialogProc, reinterpret_cast<LPARAM>(this));
    return dialogResult;
}

void CWindowCtrl::SetClassName(const wchar_t* name)
{
    // Creating with the object's own name buffer is common: clearing it first would erase it.
    if (!name || name == className) return;
    wmemset(className, 0, 64);
    wcsncpy(className, name, 63);
}

int CWindowCtrl::PreTranslateMessage(MSG*) { return 0; }
LRESULT CWindowCtrl::HandleMessage(UINT, WPARAM, LPARAM) { return 0; }
void CWindowCtrl::OnCreate(CREATESTRUCTW*) {}
void CWindowCtrl::OnDestroy() {}
void CWindowCtrl::OnMove(int, int) {}
void CWindowCtrl::OnSize(UINT, int, int) {}
void CWindowCtrl::OnWindowPosChanging(WINDOWPOS*) {}
LRESULT CWindowCtrl::OnNcHitTest(POINT) { return HTCLIENT; }
void CWindowCtrl::OnGetMinMaxInfo(MINMAXINFO*) {}
void CWindowCtrl::OnShowWindow(BOOL, UINT) {}
void CWindowCtrl::OnTimer(UINT_PTR) {}
void CWindowCtrl::OnSetCursor(HWND) { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }

void CWindowCtrl::Show(int cmdShow)
{
    if (IsWindow(hwnd)) ShowWindow(hwnd, cmdShow);
}

LRESULT CWindowCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT r = HandleMessage(message, wParam, lParam)) return r;
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam)); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_MOVE: OnMove(x, y); break;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), x, y); break;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); break;
    case WM_SETCURSOR: OnSetCursor(reinterpret_cast<HWND>(wParam)); break;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_NCHITTEST: return OnNcHitTest(POINT{x, y});
    case WM_TIMER: OnTimer(wParam); return 1;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
