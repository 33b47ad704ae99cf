#include "TestSupport.h"

#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace testing_support {

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return 0;
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same commit charge on Windows.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

int GdiObjectCount()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n) return static_cast<int>(n);
    int count = 0;
    for (ULONG_PTR i = 1; i < 0x10000; ++i) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++count;
    }
    return count;
}

::testing::AssertionResult LeavesNothingBehind(int warm, int rounds, const std::function<void(int)>& round)
{
    for (int i = 0; i < warm; ++i) round(i);
    PumpPosted();
    const int gdi = GdiObjectCount();
    const long gdip = GdipLiveObjects().load();
    for (int i = warm; i < warm + rounds; ++i) round(i);
    PumpPosted();
    if (GdiObjectCount() == gdi && GdipLiveObjects().load() == gdip) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << rounds << " rounds: GDI objects " << gdi << " -> "
                                         << GdiObjectCount() << ", GDI+ objects " << gdip << " -> "
                                         << GdipLiveObjects().load();
}

void PumpQueued()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpQueued();
        if (pred()) return true;
        if (GetTickCount() - start >= timeoutMs) return pred();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {
// Pumps one message at a time, so that nothing after the one that made pred() true is handled.
bool PumpEachUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

UINT_PTR firedTimer = 0;  // the last of PumpUntilTimer's timers to fire
void CALLBACK TimerFired(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    firedTimer = id;
}
}  // namespace

bool PumpPosted()
{
    // The marker leaves the queue once everything posted before it has been handled.
    static const HWND marker = CreateTestWindow(L"HarrowmereTestMarker", 0, 0, 0, 0, 0, HWND_MESSAGE);
    PostMessageW(marker, WM_APP, 0, 0);
    MSG m;
    return PumpEachUntil([&] { return !PeekMessageW(&m, marker, WM_APP, WM_APP, PM_NOREMOVE); }, 10000);
}

bool PumpUntilTimer(DWORD ms, const std::function<void()>& start)
{
    const UINT_PTR id = SetTimer(nullptr, 0, ms, TimerFired);
    if (start) start();
    const bool fired = PumpEachUntil([id] { return firedTimer == id; }, ms + 10000);
    KillTimer(nullptr, id);
    return fired;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= timeoutMs) return pred();
        Sleep(5);
    }
    return true;
}

Bitmap32::Bitmap32(int w, int h) : width(w), height(h), memory(CreateCompatibleDC(nullptr))
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<unsigned*>(p);
    dc = memory.Get();
    selected = SelectInto(dc, bitmap.Get());
}

void Bitmap32::Fill(unsigned argb)
{
    for (int i = 0; i < width * height; ++i) bits[i] = argb;
}

void CaptureWindow(HWND hwnd, Bitmap32& into)
{
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(into.dc),
                 PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    GdiFlush();
}

void CaptureScreenOf(HWND hwnd, Bitmap32& into)
{
    UpdateWindow(hwnd);
    GdiFlush();
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    BitBlt(into.dc, 0, 0, into.width, into.height, GetWindowDc(nullptr).Get(), origin.x, origin.y,
           SRCCOPY);
    GdiFlush();
}

bool ColorNear(unsigned a, unsigned b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance) return false;
    }
    return true;
}

LayeredCapture& LastLayeredSurface()
{
    static LayeredCapture capture;
    return capture;
}

BOOL WINAPI CapturingUpdateLayeredWindow(HWND hwnd, HDC screen, POINT* dst, SIZE* size, HDC src,
                                         POINT* srcPt, COLORREF key, BLENDFUNCTION* blend,
                                         DWORD flags)
{
    LayeredCapture& c = LastLayeredSurface();
    ++c.pushes;
    c.alpha = blend ? blend->SourceConstantAlpha : 0;
    BITMAP bm = {};
    GetObjectW(GetCurrentObject(src, OBJ_BITMAP), sizeof(bm), &bm);
    c.width = bm.bmWidth;
    c.height = bm.bmHeight;
    const auto* bits = static_cast<const unsigned*>(bm.bmBits);
    if (bits) c.pixels.assign(bits, bits + bm.bmWidth * bm.bmHeight);
    else c.pixels.assign(static_cast<size_t>(bm.bmWidth) * bm.bmHeight, 0);
    return UpdateLayeredWindow(hwnd, screen, dst, size, src, srcPt, key, blend, flags);
}

RECT WindowRect(HWND h)
{
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

RECT ChildRect(HWND child)
{
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected)
{
    if (SameRect(actual, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rect " << RectText(actual) << ", expected " << RectText(expected);
}

::testing::AssertionResult PointIs(const POINT& actual, const POINT& expected)
{
    if (actual.x == expected.x && actual.y == expected.y) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "point (" << actual.x << "," << actual.y << "), expected ("
                                         << expected.x << "," << expected.y << ")";
}

void PutCursor(int x, int y)
{
    // Under Wine the X server reports the pointer's moves asynchronously: events of an earlier
    // place that are still on their way, with nothing to wait on, arrive within a few timer
    // ticks. They are handled before the pointer is set again.
    SetCursorPos(x, y);
    PumpUntilTimer(30);
    SetCursorPos(x, y);
}

void ClickAt(HWND h, int x, int y)
{
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    if (IsWindow(h)) SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PostClick(HWND h, int x, int y)
{
    PostMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

namespace {
struct WindowSearch {
    const wchar_t* cls;
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && (!s->cls || ClassOf(h) == s->cls) && (!s->visibleOnly || IsWindowVisible(h)))
        s->found.push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindows(const wchar_t* cls, DWORD processId, bool visibleOnly)
{
    WindowSearch search{cls, processId ? processId : GetCurrentProcessId(), visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TopLevelWindow(const wchar_t* cls, DWORD processId, bool visibleOnly)
{
    const std::vector<HWND> found = TopLevelWindows(cls, processId, visibleOnly);
    return found.empty() ? nullptr : found.front();
}

HWND CreateTestWindow(const wchar_t* className, DWORD style, int x, int y, int w, int h, HWND parent,
                      const wchar_t* title)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
    return CreateWindowExW(0, className, title, style, x, y, w, h, parent, nullptr, wc.hInstance, nullptr);
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

std::vector<HWND> MessageBoxes(DWORD processId) { return TopLevelWindows(L"#32770", processId); }

void AnswerBox(HWND box, int buttonId)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

std::vector<int> VisibleButtons(HWND dialog)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            ids.push_back(GetDlgCtrlID(child));
        }
    }
    return ids;
}

MSG KeyMessage(HWND hwnd, UINT message, WPARAM vk, LPARAM lParam)
{
    MSG m = {};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = vk;
    m.lParam = lParam;
    return m;
}

std::vector<WPARAM> TakeQueued(HWND hwnd, UINT message)
{
    std::vector<WPARAM> taken;
    MSG m;
    while (PeekMessageW(&m, hwnd, message, message, PM_REMOVE)) taken.push_back(m.wParam);
    return taken;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadBytes(const std::wstring& path)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> ListDirectory(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    const UniqueFindHandle search(FindFirstFileW((directory + L"\\*").c_str(), &entry));
    for (bool more = bool(search); more; more = FindNextFileW(search.Get(), &entry)) {
        if (lstrcmpW(entry.cFileName, L".") != 0 && lstrcmpW(entry.cFileName, L"..") != 0)
            names.push_back(entry.cFileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {
// Test trees live under C:\Games or carry the product's name; anything else (a shell folder,
// a drive, Wine's links to the Unix home) is never removed by a test, whatever it was given.
bool IsTestTree(const std::wstring& directory)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(directory.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring path(full);
    if (_wcsnicmp(path.c_str(), L"C:\\Games\\", 9) == 0 && path.size() > 9)
        return true;
    const size_t slash = path.find_last_of(L'\\');
    std::wstring last = slash == std::wstring::npos ? path : path.substr(slash + 1);
    CharUpperBuffW(&last[0], static_cast<DWORD>(last.size()));
    return last.find(L"HARROWMERE") != std::wstring::npos && path.compare(0, 2, L"Z:") != 0 &&
           path.compare(0, 2, L"z:") != 0;
}

void RemoveTree(const std::wstring& directory)
{
    // A link is not ours to descend: what it leads to was made by someone else.
    const DWORD top = GetFileAttributesW(directory.c_str());
    if (top == INVALID_FILE_ATTRIBUTES || (top & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    SetFileAttributesW(directory.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    for (const std::wstring& name : ListDirectory(directory)) {
        const std::wstring child = directory + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(child.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveTree(child);
        } else {
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(child.c_str());
        }
    }
    RemoveDirectoryW(directory.c_str());
}

}  // namespace

void RemoveTestTree(const std::wstring& directory)
{
    if (IsTestTree(directory))
        RemoveTree(directory);
}

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

std::wstring TempDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, path);
    return path;
}

std::wstring WindowsPath(const wchar_t* path)
{
    std::wstring result;
    for (const wchar_t* p = path; *p; ++p)
        result += *p == L'/' ? L'\\' : *p;
    return result;
}

bool StartUnixProgram(const wchar_t* unixPath, const std::wstring& arguments, DWORD waitMs)
{
    const std::wstring program = L"Z:" + WindowsPath(unixPath);  // Z: is the Unix root
    std::wstring command = program + L" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    const UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.Get(), waitMs);
    return true;
}

COLORREF ScreenPixel(POINT p)
{
    const WindowDC screen = GetWindowDc(nullptr);
    return GetPixel(screen.Get(), p.x, p.y);
}

SIZE IconSize(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return SIZE{};
    const UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    if (!info.fIcon) return SIZE{};  // a cursor
    BITMAP bm = {};
    GetObjectW(color ? color.Get() : mask.Get(), sizeof bm, &bm);
    // A monochrome icon's mask holds the AND and the XOR halves one above the other.
    return SIZE{bm.bmWidth, color ? bm.bmHeight : bm.bmHeight / 2};
}

}  // namespace testing_support
