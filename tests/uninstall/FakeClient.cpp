// Stands in for the game client in the uninstaller's tests.
//   FakeClient.exe window [count]  - shows count windows of the client's class until ended
//   FakeClient.exe respawn [count] - keeps count such window processes alive: whenever one
//                                    ends, a new process takes its place
#include <windows.h>

#include "UniqueHandle.h"

#include <string>
#include <vector>

namespace {

LRESULT CALLBACK FakeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowWindows(int count)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FakeWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"pelvarbrekmoor";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&windowClass);
    for (int i = 0; i < count; ++i)
        CreateWindowExW(WS_EX_APPWINDOW, L"pelvarbrekmoor", L"", WS_POPUP | WS_VISIBLE,
                        40 + 30 * i, 40, 120, 80, nullptr, nullptr, windowClass.hInstance, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

UniqueKernelHandle StartWindowProcess()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" window 1";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return UniqueKernelHandle();
    const UniqueKernelHandle thread(process.hThread);
    return UniqueKernelHandle(process.hProcess);
}

int Respawn(int count)
{
    std::vector<UniqueKernelHandle> children;
    for (int i = 0; i < count; ++i)
        if (UniqueKernelHandle child = StartWindowProcess())
            children.push_back(std::move(child));
    while (!children.empty()) {
        std::vector<HANDLE> waitOn;
        for (const UniqueKernelHandle& child : children)
            waitOn.push_back(child.Get());
        DWORD ended = WaitForMultipleObjects(static_cast<DWORD>(waitOn.size()), waitOn.data(), FALSE,
                                             INFINITE);
        if (ended >= WAIT_OBJECT_0 + waitOn.size())
            return 1;
        UniqueKernelHandle next = StartWindowProcess();
        if (next)
            children[ended - WAIT_OBJECT_0] = std::move(next);
        else
            children.erase(children.begin() + (ended - WAIT_OBJECT_0));
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"window";
    const int count = argc > 2 ? _wtoi(argv[2]) : 1;
    if (mode == L"respawn")
        return Respawn(count > 0 ? count : 1);
    return ShowWindows(count > 0 ? count : 1);
}
