#include "BenchSupport.h"

#include <algorithm>

namespace bench {

double Now()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

namespace {
struct Search {
    DWORD pid;
    const wchar_t* cls;
    bool shown;
    bool layered;
    HWND found;
};

BOOL CALLBACK Visit(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || (s->shown && !IsWindowVisible(h))) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (lstrcmpW(name, s->cls) != 0) return TRUE;
    if (s->layered && !(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LAYERED)) return TRUE;
    s->found = h;
    return FALSE;
}

HWND Find(DWORD pid, const wchar_t* cls, bool shown, bool layered)
{
    Search s{pid, cls, shown, layered, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}
}  // namespace

HWND FindShown(DWORD pid, const wchar_t* cls, bool layered) { return Find(pid, cls, true, layered); }
HWND FindAny(DWORD pid, const wchar_t* cls) { return Find(pid, cls, false, false); }

Program::Program(const std::wstring& commandLine)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    std::wstring cmd = commandLine;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &info)) {
        info = PROCESS_INFORMATION{};
    }
}

Program::~Program()
{
    if (!info.hProcess) return;
    if (endWindow && IsWindow(endWindow)) PostMessageW(endWindow, endMessage, endParam, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

HWND Program::WaitFor(const wchar_t* cls, bool layered, double timeoutMs) const
{
    const double start = Now();
    while (Now() - start < timeoutMs) {
        if (HWND h = FindShown(info.dwProcessId, cls, layered)) return h;
        if (WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

void Program::EndWith(HWND window, UINT message, WPARAM wParam)
{
    endWindow = window;
    endMessage = message;
    endParam = wParam;
}

bool Settle(HWND window)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) return false;
    // Paints come after every queued message: ask for them now, as the next GetMessage would.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

}  // namespace bench
