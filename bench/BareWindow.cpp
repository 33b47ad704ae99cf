// The floors for the start-up and interaction benchmarks: plain Win32 programs doing the least
// the platform needs for the same effect.
//   bare_window                one 1154 x 704 layered window with one already drawn frame,
//                              waiting to be closed (start-up floor)
//   bare_window --interactive  a plain 1920 x 1040 window with what the interaction benchmark
//                              asks of the client, answered the plain way (see Proc)
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <vector>

namespace {

// The same numbers the client answers to, so the benchmark drives both alike.
constexpr UINT kGameCommand = 0x08E5;
constexpr WPARAM kToggleFullScreen = 5562;
constexpr WPARAM kBossKey = 5561;
constexpr UINT kPushLayered = WM_APP + 1;  // push the already rendered layered surface
constexpr UINT kShowMenu = WM_APP + 2;     // show a 96 x 48 popup (1) or hide it (0)

struct Floor {
    HWND main = nullptr;
    HWND layered = nullptr;
    HWND menu = nullptr;
    HDC surfaceDC = nullptr;
    HBITMAP surface = nullptr;
    bool hidden = false;
    bool fullScreen = false;
    RECT saved = {};
    NOTIFYICONDATAW icon = {};
} floorState;

void MakeLayeredSurface(int w, int h)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB};
    void* bits = nullptr;
    floorState.surface = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!floorState.surface) return;
    auto* px = static_cast<unsigned*>(bits);
    for (int i = 0; i < w * h; ++i) px[i] = 0xFF23373Cu;  // opaque, like the backdrop picture
    floorState.surfaceDC = CreateCompatibleDC(nullptr);
    SelectObject(floorState.surfaceDC, floorState.surface);
}

void PushLayered()
{
    RECT r = {};
    GetWindowRect(floorState.layered, &r);
    POINT dst = {r.left, r.top}, src = {0, 0};
    SIZE size = {r.right - r.left, r.bottom - r.top};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    UpdateLayeredWindow(floorState.layered, screen, &dst, &size, floorState.surfaceDC, &src, 0,
                        &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
}

void BossKey(HWND h)
{
    if (!floorState.hidden) {
        Shell_NotifyIconW(NIM_ADD, &floorState.icon);
        ShowWindow(h, SW_HIDE);
    } else {
        Shell_NotifyIconW(NIM_DELETE, &floorState.icon);
        ShowWindow(h, SW_SHOW);
        InvalidateRect(h, nullptr, TRUE);
    }
    floorState.hidden = !floorState.hidden;
}

void ToggleFullScreen(HWND h)
{
    floorState.fullScreen = !floorState.fullScreen;
    if (floorState.fullScreen) {
        GetWindowRect(h, &floorState.saved);
        SetWindowPos(h, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
    } else {
        const RECT& s = floorState.saved;
        SetWindowPos(h, HWND_NOTOPMOST, s.left, s.top, s.right - s.left, s.bottom - s.top,
                     SWP_SHOWWINDOW);
    }
}

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    switch (m) {
    case WM_DESTROY:
        if (h == floorState.main || !floorState.main) PostQuitMessage(0);
        return 0;
    case WM_HOTKEY:
        if (w == kBossKey) BossKey(h);
        return 0;
    case kGameCommand:
        if (w == kToggleFullScreen) ToggleFullScreen(h);
        return 0;
    case WM_MOUSEMOVE: {
        // A hover change repaints one 25 x 25 button.
        const int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
        RECT r = {x - x % 25, y - y % 25, x - x % 25 + 25, y - y % 25 + 25};
        InvalidateRect(h, &r, FALSE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        FillRect(dc, &ps.rcPaint, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        EndPaint(h, &ps);
        return 0;
    }
    case kPushLayered: PushLayered(); return 0;
    case kShowMenu:
        if (w) {
            ShowWindow(floorState.menu, SW_SHOW);
            SetForegroundWindow(floorState.menu);
        } else {
            ShowWindow(floorState.menu, SW_HIDE);
        }
        return 0;
    default: return DefWindowProcW(h, m, w, l);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"hm_bare_window";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    if (commandLine && std::wcsstr(commandLine, L"--interactive")) {
        floorState.main = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"bare game",
                                          WS_POPUP | WS_VISIBLE, 0, 0, 1920, 1040, nullptr,
                                          nullptr, instance, nullptr);
        floorState.icon.cbSize = sizeof(floorState.icon);
        floorState.icon.hWnd = floorState.main;
        floorState.icon.uID = 128;
        floorState.icon.uFlags = NIF_ICON | NIF_TIP;
        floorState.icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        lstrcpynW(floorState.icon.szTip, L"bare", 64);
        floorState.layered = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, wc.lpszClassName,
                                             L"bare layered", WS_POPUP | WS_VISIBLE, 383, 168,
                                             1154, 704, nullptr, nullptr, instance, nullptr);
        floorState.menu = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"bare menu",
                                          WS_POPUP, 1700, 26, 96, 48, floorState.main, nullptr,
                                          instance, nullptr);
        MakeLayeredSurface(1154, 704);
        PushLayered();
    } else {
        floorState.layered = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, wc.lpszClassName,
                                             L"bare", WS_POPUP, 383, 168, 1154, 704, nullptr,
                                             nullptr, instance, nullptr);
        MakeLayeredSurface(1154, 704);
        PushLayered();
        ShowWindow(floorState.layered, SW_SHOWNA);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (floorState.hidden) Shell_NotifyIconW(NIM_DELETE, &floorState.icon);
    if (floorState.surfaceDC) DeleteDC(floorState.surfaceDC);
    if (floorState.surface) DeleteObject(floorState.surface);
    return 0;
}
