#pragma once
// Helpers every test program shares: waiting on conditions, counting GDI objects, reading pixels
// (of renderings, of layered surfaces and of the screen), rectangles, the pointer, and the
// top-level windows of a process (message boxes among them).
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace testing_support {

// GDI objects of this process. GetGuiResources answers 0 under Wine, so when it does the
// handle table is probed: every 16-bit handle index that GetObjectType recognises.
int GdiObjectCount();
// Bytes of memory committed to this process alone (its private bytes).
size_t PrivateBytes();
// Runs round(0) to round(warm - 1) to settle caches, then round(warm) to round(warm + rounds - 1);
// succeeds when those left no GDI object of this process and no GDI+ object held in GdipPtr behind.
::testing::AssertionResult LeavesNothingBehind(int warm, int rounds, const std::function<void(int)>& round);

// Pumps this thread's messages until pred() holds or timeoutMs passes; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
// Handles the messages queued now (and what they queue at once), without waiting for more.
void PumpQueued();
// Pumps until every message posted to this thread so far has been handled: a marker posted
// behind them has come back. Posted messages come before timers, so no timer fires meanwhile
// unless a handler runs a loop of its own.
bool PumpPosted();
// Starts a one-shot timer of ms milliseconds on this thread, runs start (the event under test)
// and pumps messages one at a time until that timer fires. A thread's timers fire in the order
// they fall due however busy the machine is: on return every timer of the thread due before it
// has fired and none due after it, so delays are checked against it instead of a clock.
bool PumpUntilTimer(DWORD ms, const std::function<void()>& start = nullptr);
// Waits (without pumping) until pred() holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000);

// Starts a Unix program through Wine (xdotool for real pointer input, which Wine treats unlike
// SendInput; ln and rm) and waits for it up to waitMs; true when it was started. Wine gives no
// exit code of such a program: callers check what it does.
bool StartUnixProgram(const wchar_t* unixPath, const std::wstring& arguments, DWORD waitMs = 0);
// What the screen shows at a point (under Wine the screen DC follows the X stacking).
COLORREF ScreenPixel(POINT p);

// A 32-bit top-down DIB selected into a memory DC; pixels read as 0xAARRGGBB.
class Bitmap32 {
public:
    Bitmap32(int w, int h);
    Bitmap32(const Bitmap32&) = delete;
    Bitmap32& operator=(const Bitmap32&) = delete;
    unsigned At(int x, int y) const { return bits[y * width + x]; }
    void Fill(unsigned argb);

    int width = 0, height = 0;
    unsigned* bits = nullptr;  // the bitmap's pixels
    HDC dc = nullptr;          // owned by memory

private:
    UniqueBitmap bitmap;
    MemoryDC memory;
    ScopedSelect selected;
};

// Renders a window's client area (WM_PRINTCLIENT) into the bitmap.
void CaptureWindow(HWND hwnd, Bitmap32& into);
// Copies what the screen shows of a window's client area (what its WM_PAINT drew) into a new
// bitmap of the client's size, once the window has painted.
void CaptureScreenOf(HWND hwnd, Bitmap32& into);

// Colour channels compared with a tolerance (GDI+ rounding).
bool ColorNear(unsigned a, unsigned b, int tolerance = 2);

// The last surface handed to UpdateLayeredWindow through CapturingUpdateLayeredWindow, which has
// that function's signature and passes the call on.
struct LayeredCapture {
    std::vector<unsigned> pixels;  // bottom-up rows, as the surface's DIB holds them
    int width = 0, height = 0, pushes = 0;
    BYTE alpha = 0;
    unsigned At(int x, int y) const { return pixels[(height - 1 - y) * width + x]; }
};
LayeredCapture& LastLayeredSurface();
BOOL WINAPI CapturingUpdateLayeredWindow(HWND hwnd, HDC screen, POINT* dst, SIZE* size, HDC src,
                                         POINT* srcPt, COLORREF key, BLENDFUNCTION* blend,
                                         DWORD flags);

// Rectangles.
RECT WindowRect(HWND h);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
bool SameRect(const RECT& a, const RECT& b);
std::string RectText(const RECT& r);
// EXPECT_TRUE(RectIs(r, {l, t, r, b})) names both rectangles when they differ.
::testing::AssertionResult RectIs(const RECT& actual, const RECT& expected);
#define EXPECT_RECT(r, l, t, rr, b) EXPECT_TRUE(testing_support::RectIs((r), RECT{l, t, rr, b}))
// EXPECT_TRUE(PointIs(p, {x, y})) names both points when they differ.
::testing::AssertionResult PointIs(const POINT& actual, const POINT& expected);

// The pointer. PutCursor sets it twice, so that late pointer events cannot move it back.
void PutCursor(int x, int y);
// A left click at client point (x, y) of a window of this thread, as the pointer makes it; the
// press may destroy the window.
void ClickAt(HWND h, int x, int y);
// The same click posted, for a window of another process.
void PostClick(HWND h, int x, int y);

// Top-level windows of a process (0: this one) with the class (null: any class), in z-order;
// only the visible ones unless visibleOnly is false.
std::vector<HWND> TopLevelWindows(const wchar_t* cls, DWORD processId = 0, bool visibleOnly = true);
// The first of them, or null.
HWND TopLevelWindow(const wchar_t* cls, DWORD processId = 0, bool visibleOnly = true);
// A window of a class of that name (registered once, with the default window procedure).
HWND CreateTestWindow(const wchar_t* className, DWORD style, int x, int y, int w, int h, HWND parent,
                      const wchar_t* title = L"");
std::wstring WindowText(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
// Message boxes ("#32770") of a process (0: this one).
std::vector<HWND> MessageBoxes(DWORD processId = 0);
// Answers a message box as its button would.
void AnswerBox(HWND box, int buttonId);
// Ids of the visible buttons of a dialog.
std::vector<int> VisibleButtons(HWND dialog);

// A key message as the queue delivers it to hwnd (lParam: repeat count and flags).
MSG KeyMessage(HWND hwnd, UINT message, WPARAM vk, LPARAM lParam = 1);
// The wParams of the messages of one kind queued for hwnd, taken from the queue in order.
std::vector<WPARAM> TakeQueued(HWND hwnd, UINT message);

// Whole files, and the names of a directory's entries (no "." or ".."), sorted.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
std::vector<std::wstring> ListDirectory(const std::wstring& directory);
// Removes a test tree whatever its attributes; only trees under C:\Games or named after the
// product are touched.
void RemoveTestTree(const std::wstring& directory);

// Whether this program runs under Wine.
bool UnderWine();
// The temporary folder, ending in a backslash.
std::wstring TempDirectory();

// A path handed in by the build (cmake/ProgramPaths.cmake) as the Windows APIs want it: with
// backslashes, which LoadLibraryEx and the shell insist on.
std::wstring WindowsPath(const wchar_t* path);

// The size of an icon's bitmap; {0, 0} when the handle is no icon (any more, or a cursor).
SIZE IconSize(HICON icon);

}  // namespace testing_support
