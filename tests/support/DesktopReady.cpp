// Shows and destroys one window, so that Wine's virtual desktop is running before the tests.
#include <windows.h>

int main()
{
    HWND h = CreateWindowExW(0, L"STATIC", L"ready", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                             nullptr, nullptr, nullptr);
    if (h) DestroyWindow(h);
    return h ? 0 : 1;
}
