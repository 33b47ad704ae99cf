// Start-up of the real client against a bare layered-window program, in the same run:
//  1. from outside: process start until the backdrop's first layered frame is on the screen
//     (Harrowmere.exe) or the bare program's layered frame is (bare_window.exe);
//  2. the stages inside (startup_bench --trace client | bare, each a fresh process): the same
//     calls the client's entry makes, timed one by one up to the backdrop's first pushed frame,
//     beside the bare program's stages;
//  3. the client's peak working set in the start-up view, and the executable's size.
//
// The backdrop pushes its first layered frame while it is being created, before it becomes
// visible: a visible layered "pelvar_back" window of the process therefore means the frame is up.
#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "CAppManager.h"
#include "CFrameGame.h"
#include "GameMessages.h"
#include "gameApp.h"

namespace {

constexpr UINT kGameCommand = 0x08E5;
constexpr WPARAM kDestroy = 5557;

// ---- the trace, inside a fresh process ------------------------------------------------------

double ProcessAgeMs()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& f) {
        return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

struct Stages {
    double last = 0;
    void Mark(const char* name)
    {
        const double now = bench::Now();
        std::printf("%s %.3f\n", name, now - last);
        last = now;
    }
};

void PumpQueued()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The client's windows, from their objects up to the first idle moment in the start-up view.
void TraceWindows(Stages& s)
{
    alignas(CFrameGame) unsigned char storage[sizeof(CFrameGame)];
    std::memset(storage, 0, sizeof(storage));
    CFrameGame* game = new (storage) CFrameGame;
    s.Mark("objects");
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    const StartupPlaces places = StartupPlacement(wa);
    game->backdrop.Create(0, game->backdrop.className, nullptr, 0x90000000, places.backdrop.x,
                          places.backdrop.y, CFrameBack::kWidth, CFrameBack::kHeight, nullptr);
    s.Mark("backdrop-first-frame");
    game->Create(WS_EX_APPWINDOW, kGameWindowClass, nullptr, 0x92030000, places.game.x,
                 places.game.y, CFrameBack::kGameWidth, CFrameBack::kGameHeight,
                 game->backdrop.hwnd);
    game->backdrop.gameWindow = game;
    s.Mark("game-window-and-browser");
    PumpQueued();
    s.Mark("first-idle");
    DestroyWindow(game->hwnd);
    PumpQueued();
    game->~CFrameGame();
}

// The client's entry (WinMain), stage by stage, up to its first idle moment in the start-up view.
int TraceClient()
{
    Stages s;
    std::printf("loader %.3f\n", ProcessAgeMs());
    s.last = bench::Now();
    if (OleInitialize(nullptr) != S_OK) return 1;
    s.Mark("ole");
    {
        gameApp application;
        clientApp = &application;
        RegisterApp(&application);
        moduleInstance = GetModuleHandleW(nullptr);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&application.gdiplusToken, &input, nullptr);
        s.Mark("gdiplus");
        TraceWindows(s);
        UnregisterApp(application.threadId);
        Gdiplus::GdiplusShutdown(application.gdiplusToken);
        clientApp = nullptr;
    }
    OleUninitialize();
    return 0;
}

// The floor: the platform's part of the same start, with one already drawn layered frame.
int TraceBare()
{
    Stages s;
    std::printf("loader %.3f\n", ProcessAgeMs());
    s.last = bench::Now();
    if (OleInitialize(nullptr) != S_OK) return 1;
    s.Mark("ole");
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    s.Mark("gdiplus");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"hm_bare_trace";
    RegisterClassW(&wc);
    s.Mark("objects");
    HWND h = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, wc.lpszClassName, nullptr, WS_POPUP,
                             383, 168, 1154, 704, nullptr, nullptr, wc.hInstance, nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1154, 704, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < 1154 * 704; ++i) static_cast<unsigned*>(bits)[i] = 0xFF23373Cu;
    POINT dst = {383, 168}, src = {0, 0};
    SIZE size = {1154, 704};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(h, nullptr, &dst, &size, dc, &src, 0, &blend, ULW_ALPHA);
    ShowWindow(h, SW_SHOWNA);
    s.Mark("backdrop-first-frame");
    HWND page = CreateWindowExW(WS_EX_APPWINDOW, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 760,
                                376, 600, 386, h, nullptr, wc.hInstance, nullptr);
    s.Mark("game-window-and-browser");
    PumpQueued();
    s.Mark("first-idle");
    DestroyWindow(page);
    DestroyWindow(h);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    Gdiplus::GdiplusShutdown(token);
    OleUninitialize();
    return 0;
}

// ---- the driver -----------------------------------------------------------------------------

using StageTimes = std::vector<std::pair<std::string, double>>;

// Runs this program with --trace kind and reads its stage lines.
StageTimes RunTrace(const wchar_t* kind)
{
    StageTimes out;
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0)) return out;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(self) + L"\" --trace " + kind;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = write;
    PROCESS_INFORMATION pi = {};
    const BOOL started =
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(write);
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (started && ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(read);
    if (!started) return out;
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        char name[64];
        double ms = 0;
        if (std::sscanf(text.substr(at, end - at).c_str(), "%63s %lf", name, &ms) == 2) out.emplace_back(name, ms);
        at = end + 1;
    }
    return out;
}

struct Run {
    double ms = -1;
    SIZE_T peakWorkingSet = 0;
};

// Starts exe, waits for its visible layered window of class cls, measures, then ends it.
Run StartAndMeasure(const wchar_t* exe, const wchar_t* cls, bool client)
{
    Run run;
    const double start = bench::Now();
    bench::Program program(L"\"" + std::wstring(exe) + L"\"");
    HWND shown = program.WaitFor(cls, true);
    if (!shown) return run;
    run.ms = bench::Now() - start;
    if (!client) {
        program.EndWith(shown, WM_CLOSE, 0);
        return run;
    }
    HWND game = bench::FindAny(program.Pid(), L"pelvarbrekmoor");
    program.EndWith(game, kGameCommand, kDestroy);
    Sleep(2000);  // the start-up view settles: the page's control loads, the first fetch runs
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(program.Process(), &counters, sizeof(counters)))
        run.peakWorkingSet = counters.PeakWorkingSetSize;
    return run;
}

int Drive()
{
    const int rounds = 7;
    std::vector<double> client, bare;
    std::map<std::string, std::vector<double>> clientStages, bareStages;
    std::vector<std::string> order;
    SIZE_T peak = 0;
    // One warm-up of each, then alternating runs, so both meet the same caches. Each start
    // waits a moment first, so that no program starts while the one before is still being
    // taken down (its windows, its display resources): both start on a quiet machine.
    auto measure = [](const wchar_t* exe, const wchar_t* cls, bool isClient) {
        Sleep(300);
        return StartAndMeasure(exe, cls, isClient);
    };
    measure(HM_BARE_EXE, L"hm_bare_window", false);
    measure(HM_CLIENT_EXE, L"pelvar_back", true);
    for (int i = 0; i < rounds; ++i) {
        const Run b = measure(HM_BARE_EXE, L"hm_bare_window", false);
        const Run c = measure(HM_CLIENT_EXE, L"pelvar_back", true);
        if (b.ms >= 0) bare.push_back(b.ms);
        if (c.ms >= 0) client.push_back(c.ms);
        peak = (std::max)(peak, c.peakWorkingSet);
        for (const auto& [name, ms] : RunTrace(L"bare")) bareStages[name].push_back(ms);
        for (const auto& [name, ms] : RunTrace(L"client")) {
            if (!clientStages.count(name)) order.push_back(name);
            clientStages[name].push_back(ms);
        }
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    unsigned long long exeBytes = 0;
    if (GetFileAttributesExW(HM_CLIENT_EXE, GetFileExInfoStandard, &attributes))
        exeBytes = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;

    std::printf("%-32s %10s %10s %8s\n", "start-up stage (median, ms)", "client", "bare", "ratio");
    double clientSum = 0, bareSum = 0;
    for (const std::string& name : order) {
        const double c = bench::Median(clientStages[name]), b = bench::Median(bareStages[name]);
        clientSum += c;
        bareSum += b;
        std::printf("%-32s %10.1f %10.1f %8.2f\n", name.c_str(), c, b, b > 0 ? c / b : 0.0);
    }
    std::printf("%-32s %10.1f %10.1f %8.2f\n", "sum of the stages", clientSum, bareSum,
                bareSum > 0 ? clientSum / bareSum : 0.0);
    const double c = bench::Median(client), b = bench::Median(bare);
    std::printf("%-32s %10.1f %10.1f %8.2f %10s\n", "process start -> first frame", c, b,
                b > 0 ? c / b : 0.0, "<= 1.3");
    std::printf("peak working set in the start-up view: %.1f MiB\n", peak / (1024.0 * 1024.0));
    std::printf("Harrowmere.exe size: %.1f KiB (%llu bytes)\n", exeBytes / 1024.0, exeBytes);
    std::printf("(%d alternating rounds after one warm-up; bare: bare_window.exe, same run)\n", rounds);
    return (c > 0 && b > 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--trace") == 0) {
        const int rc = std::strcmp(argv[2], "client") == 0 ? TraceClient() : TraceBare();
        std::fflush(stdout);
        return rc;
    }
    return Drive();
}
