// Start-up of the real client: the time from process start until the backdrop's first layered
// frame is on the screen, against a bare Win32 program that shows one window (the floor of
// starting any GUI program here); the client's peak working set in the start-up view; the
// executable's size.
//
// The backdrop draws its first layered frame (UpdateLayeredWindow) while it is being created,
// before it becomes visible: a visible layered "pelvar_back" window of the process therefore
// means that the frame is up.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr UINT kGameCommand = 0x08E5;
constexpr WPARAM kDestroy = 5557;

struct Find {
    DWORD pid;
    const wchar_t* cls;
    bool needLayered;
    HWND found;
};

BOOL CALLBACK Visit(HWND h, LPARAM lp)
{
    auto* f = reinterpret_cast<Find*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    if (lstrcmpW(name, f->cls) != 0) return TRUE;
    if (f->needLayered && !(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_LAYERED)) return TRUE;
    f->found = h;
    return FALSE;
}

HWND FindShown(DWORD pid, const wchar_t* cls, bool layered)
{
    Find f{pid, cls, layered, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Run {
    double ms = -1;
    SIZE_T peakWorkingSet = 0;
};

// Starts exe, waits for its window of class cls, measures, then ends the program.
Run StartAndMeasure(const wchar_t* exe, const wchar_t* cls, bool layered, bool client)
{
    Run run;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    wchar_t cmd[MAX_PATH + 2];
    swprintf(cmd, MAX_PATH + 2, L"\"%ls\"", exe);
    const double start = Now();
    if (!CreateProcessW(exe, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return run;
    HWND shown = nullptr;
    while (!(shown = FindShown(pi.dwProcessId, cls, layered)) && Now() - start < 30000) {
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (shown) run.ms = Now() - start;
    if (client && shown) {
        Sleep(2000);  // the start-up view settles: the page's control loads, the first fetch runs
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters)))
            run.peakWorkingSet = counters.PeakWorkingSetSize;
        if (HWND game = FindShown(pi.dwProcessId, L"pelvarbrekmoor", false))
            PostMessageW(game, kGameCommand, kDestroy, 0);
    } else if (shown) {
        PostMessageW(shown, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main()
{
    const int rounds = 5;
    std::vector<double> client, bare;
    SIZE_T peak = 0;
    // Alternating runs, after one warm-up of each, so both meet the same caches.
    StartAndMeasure(HM_BARE_EXE, L"hm_bare_window", false, false);
    StartAndMeasure(HM_CLIENT_EXE, L"pelvar_back", true, true);
    for (int i = 0; i < rounds; ++i) {
        const Run b = StartAndMeasure(HM_BARE_EXE, L"hm_bare_window", false, false);
        const Run c = StartAndMeasure(HM_CLIENT_EXE, L"pelvar_back", true, true);
        if (b.ms >= 0) bare.push_back(b.ms);
        if (c.ms >= 0) client.push_back(c.ms);
        peak = (std::max)(peak, c.peakWorkingSet);
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    unsigned long long exeBytes = 0;
    if (GetFileAttributesExW(HM_CLIENT_EXE, GetFileExInfoStandard, &attributes))
        exeBytes = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;

    const double c = Median(client), b = Median(bare);
    std::printf("start-up to the backdrop's first layered frame: %.0f ms (median of %zu)\n", c, client.size());
    std::printf("bare Win32 program to its window:               %.0f ms (median of %zu)\n", b, bare.size());
    if (c > 0 && b > 0) std::printf("ratio client / bare:                            %.2f\n", c / b);
    std::printf("peak working set in the start-up view:          %.1f MiB\n", peak / (1024.0 * 1024.0));
    std::printf("Harrowmere.exe size:                            %.1f KiB (%llu bytes)\n", exeBytes / 1024.0, exeBytes);
    return (c > 0 && b > 0) ? 0 : 1;
}
