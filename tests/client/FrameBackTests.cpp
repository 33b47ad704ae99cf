// The backdrop: carrying the game window, minimise and restore, its close button, and the
// pixels of the start-up picture and of the shadow frame.
#include "CImageButton.h"
#include "ClientTestUtil.h"
#include "GameMessages.h"
#include "UniqueHandle.h"
#include "PngResource.h"
#include "WebLinks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace client_test;
using Backdrop = StartUpViewTest;
using BackdropPixels = StartUpViewTest;

namespace {
// Left-button releases over one window, seen as the thread takes them from its queue.
HWND g_watched = nullptr;
int g_releases = 0;
LRESULT CALLBACK CountReleases(int code, WPARAM message, LPARAM info)
{
    if (code == HC_ACTION && (message == WM_LBUTTONUP || message == WM_NCLBUTTONUP) &&
        reinterpret_cast<MOUSEHOOKSTRUCT*>(info)->hwnd == g_watched) {
        ++g_releases;
    }
    return CallNextHookEx(nullptr, code, message, info);
}

// Renders the backdrop's layered surface as the painter hands it to the system.
const LayeredCapture& CaptureBackdrop(CFrameBack& back)
{
    LastLayeredSurface() = LayeredCapture{};
    auto saved = back.painter.updateLayered;
    back.painter.updateLayered = &CapturingUpdateLayeredWindow;
    back.painter.UpdateLayered();
    back.painter.updateLayered = saved;
    return LastLayeredSurface();
}
unsigned SurfaceAt(int x, int y) { return LastLayeredSurface().At(x, y); }
unsigned AlphaAt(int x, int y) { return SurfaceAt(x, y) >> 24; }
}  // namespace

TEST_F(Backdrop, DraggingCarriesTheGameWindowButtonsOpenPagesOrMinimiseAndSystemCommandsRestore)
{
    for (POINT to : {POINT{200, 100}, POINT{-50, 20}, POINT{700, 300}}) {
        SetWindowPos(w.Back(), nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{to.x + 377, to.y + 208, to.x + 977, to.y + 594}))
            << to.x << "," << to.y;
    }
    // The whole picture is the drag area, and it stays so.
    EXPECT_TRUE(w.game->backdrop.painter.dragEnabled);
    EXPECT_TRUE(SameRect(w.game->backdrop.painter.captionRect, RECT{0, 0, 1154, 704}));
    // Moving the game window itself does not move the backdrop in the start-up view.
    const RECT back = WindowRect(w.Back());
    SetWindowPos(w.Game(), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), back));

    // Its operator buttons open their pages in the browser.
    ShellRecorder shell;
    ClickAt(w.Back(), 540, 180);  // 1003
    ClickAt(w.Back(), 940, 180);  // 1004
    ClickAt(w.Back(), 840, 180);  // 1005
    ClickAt(w.Back(), 450, 180);  // 1006
    ClickAt(w.Back(), 300, 400);  // the picture: nothing
    const std::wstring www = HM_OPERATOR_URL L"/url-zelk-www.html";
    EXPECT_EQ(shell.opened, (std::vector<std::wstring>{www, www, HM_OPERATOR_URL L"/url-zelk-kf.html",
                                                       HM_OPERATOR_URL L"/url-zelk-pay.html"}));

    // Its minimise button, and the restore through system commands.
    ClickAt(w.Back(), 1058, 196);  // button 20
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(w.Game()) != FALSE; }, 2000));
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    EXPECT_TRUE(IsWindowVisible(w.Game()));  // keeps its taskbar button

    SendMessageW(w.Game(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(w.Game()); }, 2000));
    EXPECT_TRUE(IsWindowVisible(w.Back()));

    // The low four bits of the command are the system's and are not part of it.
    SendMessageW(w.Game(), WM_SYSCOMMAND, SC_MINIMIZE | 0x2, 0);
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(w.Game()) != FALSE; }, 2000));
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    SendMessageW(w.Game(), WM_SYSCOMMAND, SC_RESTORE | 0x1, 0);
    EXPECT_TRUE(IsWindowVisible(w.Back()));

    // Hiding and showing the game window in the start-up view takes the backdrop along.
    ShowWindow(w.Game(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    ShowWindow(w.Game(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(w.Back()));
}

TEST_F(BackdropPixels, StartUpPictureIsDrawn)
{
    const LayeredCapture& surface = CaptureBackdrop(w.game->backdrop);
    ASSERT_EQ(surface.width, 1154);
    ASSERT_EQ(surface.height, 704);
    GdipPtr<Gdiplus::Image> image(LoadPngResource(145));
    ASSERT_TRUE(image);
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(image.Get());
    int compared = 0;
    for (POINT p : {POINT{100, 100}, POINT{577, 352}, POINT{1100, 650}, POINT{20, 680}, POINT{700, 60}}) {
        Gdiplus::Color c;
        ASSERT_EQ(bitmap->GetPixel(p.x, p.y, &c), Gdiplus::Ok);
        if (c.GetA() != 255) continue;  // premultiplied compares are exact only when opaque
        ++compared;
        EXPECT_TRUE(ColorNear(SurfaceAt(p.x, p.y), c.GetValue(), 2))
            << p.x << "," << p.y << " " << std::hex << SurfaceAt(p.x, p.y) << " vs " << c.GetValue();
    }
    EXPECT_GE(compared, 2);
    // The close button's picture lies over the backdrop picture.
    GdipPtr<Gdiplus::Image> close(LoadPngResource(130));
    ASSERT_TRUE(close);
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap*>(close.Get())->GetPixel(14, 14, &c);
    if (c.GetA() == 255) {
        EXPECT_TRUE(ColorNear(SurfaceAt(1031 + 14, 157 + 14), c.GetValue(), 2));
    }
}

namespace {
// Real pointer input through the X server (Wine raises windows on real input only, never on
// SendInput): xdotool's commands, done once a left-button release over window has been taken
// from this thread's queue.
bool RealPointer(HWND window, const std::wstring& xdotoolCommands)
{
    g_watched = window;
    g_releases = 0;
    HHOOK hook = SetWindowsHookExW(WH_MOUSE, &CountReleases, nullptr, GetCurrentThreadId());
    if (!hook) return false;
    const bool done = testing_support::StartUnixProgram(L"/usr/bin/xdotool", xdotoolCommands) &&
                      PumpUntil([] { return g_releases > 0; }, 5000);
    UnhookWindowsHookEx(hook);
    return done;
}

std::wstring At(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }
}  // namespace

// The backdrop is a layered tool window under the page window it owns. Clicks and drags on it
// leave the page in front and the activation with the game window: under Wine an activated
// backdrop is raised over the page in the X stacking and stays there.
TEST_F(BackdropPixels, PageStaysInFrontAfterARealClickDragAndButtonOnTheBackdrop)
{
    ASSERT_EQ(CaptureBackdrop(w.game->backdrop).width, 1154);
    const RECT back = WindowRect(w.Back());
    const POINT page = Centre(WindowRect(w.Game()));
    const COLORREF under = SurfaceAt(page.x - back.left, page.y - back.top) & 0xFFFFFF;
    // Shown, the page's colour there differs from the picture it covers.
    COLORREF shown = CLR_INVALID;
    ASSERT_TRUE(PumpUntil([&] {
        shown = ScreenPixel(page);
        return shown != CLR_INVALID && shown != RGB(GetBValue(under), GetGValue(under), GetRValue(under));
    }));
    auto pageInFront = [&](POINT at) {
        return PumpUntil([&] { return ScreenPixel(at) == shown; }, 2000);
    };

    // A click on the picture, away from the page and the buttons.
    const POINT grip = {back.left + 100, back.top + 400};
    ASSERT_TRUE(RealPointer(w.Back(), L"mousemove " + At(grip) + L" click 1"));
    EXPECT_TRUE(pageInFront(page)) << std::hex << ScreenPixel(page) << " instead of " << shown;
    EXPECT_EQ(GetActiveWindow(), w.Game());

    // A drag moves the backdrop and the game window with it, the page still in front. (It
    // starts elsewhere: a press where the click was would make a double click.)
    const POINT from = {grip.x + 50, grip.y + 50}, to = {from.x + 60, from.y + 40};
    ASSERT_TRUE(RealPointer(w.Back(), L"mousemove " + At(from) + L" mousedown 1 mousemove " +
                                          At(POINT{from.x + 30, from.y + 20}) + L" mousemove " +
                                          At(to) + L" mouseup 1"));
    const RECT moved = {back.left + 60, back.top + 40, back.right + 60, back.bottom + 40};
    EXPECT_TRUE(PumpUntil([&] { return SameRect(WindowRect(w.Back()), moved); }, 2000))
        << RectText(WindowRect(w.Back()));
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{moved.left + 377, moved.top + 208,
                                                     moved.left + 977, moved.top + 594}));
    EXPECT_TRUE(pageInFront(POINT{page.x + 60, page.y + 40}));
    EXPECT_EQ(GetActiveWindow(), w.Game());

    // A button of the picture still answers a real click.
    ShellRecorder shell;
    ASSERT_TRUE(RealPointer(w.Back(), L"mousemove " + At(POINT{moved.left + 540, moved.top + 183}) +
                                          L" click 1"));
    EXPECT_EQ(shell.opened, std::vector<std::wstring>{HM_OPERATOR_URL L"/url-zelk-www.html"});
    EXPECT_TRUE(pageInFront(POINT{page.x + 60, page.y + 40}));
}

TEST_F(BackdropPixels, ShadowFrameOutlinesAroundAGameWindow)
{
    ASSERT_TRUE(w.EnterGameViewShown());
    w.Restore(100, 50, 1020, 704);
    ASSERT_TRUE(SameRect(WindowRect(w.Back()), RECT{94, 44, 1126, 760}));
    const LayeredCapture& surface = CaptureBackdrop(w.game->backdrop);
    ASSERT_EQ(surface.width, 1032);
    ASSERT_EQ(surface.height, 716);

    // Along the left edge at mid height: outline 1 (alpha 15, 2 wide at x 1), outline 2
    // (alpha 50, 2 wide at x 3), outline 3 (alpha 100, 4 wide at x 6), then nothing, and clear
    // under the game window. The same on the top edge and on the far sides: outline 3 runs to
    // (1025, 709). Corners are rounded: the outermost corner pixel stays clear.
    const int y = 358;
    const struct {
        int x, y;
        unsigned alpha;  // within 3, or exactly 0
    } rim[] = {{0, y, 15},    {1, y, 15},      {2, y, 50},      {3, y, 50},      {4, y, 100},
               {5, y, 100},   {6, y, 100},     {7, y, 100},     {8, y, 0},       {516, y, 0},
               {516, 4, 100}, {516, 5, 100},   {516, 6, 100},   {516, 7, 100},   {1024, y, 100},
               {1026, y, 100}, {1030, y, 15},  {516, 708, 100}, {516, 714, 15},  {516, 702, 0},
               {0, 0, 0}};
    for (const auto& r : rim) {
        if (r.alpha) EXPECT_NEAR(AlphaAt(r.x, r.y), r.alpha, 3) << r.x << "," << r.y;
        else EXPECT_EQ(AlphaAt(r.x, r.y), 0u) << r.x << "," << r.y;
    }
    // Grey 0x8A, premultiplied by its alpha.
    const unsigned p = SurfaceAt(5, y);
    EXPECT_NEAR(p & 0xFF, 0x8A * 100 / 255, 3);
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);

    // The outlines and the rounded path of the innermost one.
    GdipPtr<Gdiplus::GraphicsPath> path(new Gdiplus::GraphicsPath());
    AddRoundedRect(*path, RECT{6, 6, 1025, 709}, 2, 2);
    Gdiplus::Rect bounds;
    ASSERT_EQ(path->GetBounds(&bounds), Gdiplus::Ok);
    EXPECT_EQ(bounds.X, 6);
    EXPECT_EQ(bounds.Y, 6);
    EXPECT_EQ(bounds.GetRight(), 1025);
    EXPECT_EQ(bounds.GetBottom(), 709);
    ShadowOutline o[3];
    ShadowOutlines(RECT{0, 0, 1032, 716}, 6, 3, o);
    EXPECT_TRUE(SameRect(o[0].rect, RECT{1, 1, 1030, 714}));
    EXPECT_TRUE(SameRect(o[1].rect, RECT{3, 3, 1028, 712}));
    EXPECT_TRUE(SameRect(o[2].rect, RECT{6, 6, 1025, 709}));
    EXPECT_EQ(o[0].radius, 4);
    EXPECT_EQ(o[2].radius, 2);
}
