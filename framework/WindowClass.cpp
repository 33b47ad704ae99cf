#include "WindowClass.h"
#include "CAppManager.h"
#include "CWindowCtrl.h"

#include <string>
#include <vector>

namespace {
std::vector<std::wstring>& ClassNames()
{
    static std::vector<std::wstring> names;
    return names;
}
}  // namespace

bool IsWindowClassRegistered(const wchar_t* name)
{
    if (!name) return false;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (const std::wstring& n : ClassNames()) {
        if (n == name) return true;
    }
    return false;
}

bool RegisterWindowClass(const wchar_t* name)
{
    if (!name) return false;
    if (IsWindowClassRegistered(name)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = SharedWindowProc;
    wc.hInstance = moduleInstance;
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    ClassNames().emplace_back(name);
    return true;
}

LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CAppManager* app = single.load();
    if (!app) app = FindApp(GetCurrentThreadId());
    if (!app) return DefWindowProcW(hwnd, message, wParam, lParam);

    CWindowCtrl* obj = app->FindWindowObject(hwnd);
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        obj = static_cast<CWindowCtrl*>(cs->lpCreateParams);
        if (obj) {
            obj->hwnd = hwnd;
            obj->app = app;
            app->AddWindow(hwnd, obj);
        }
    } else if (message == WM_NCDESTROY) {
        app->RemoveWindow(hwnd);
    }
    if (obj) return obj->WindowProc(message, wParam, lParam);
    app->OnUnboundMessage(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
