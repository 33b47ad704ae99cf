// The game window of both views: placement, the switch, full screen, sizing, keys.
#include "ClientTestUtil.h"
#include "GameMessages.h"
#include "gameApp.h"

#include <gtest/gtest.h>

using namespace client_test;
using GamePlacement = StartUpViewTest;
using GameView = StartUpViewTest;
using KeyPreTranslation = StartUpViewTest;
using GameEnd = StartUpViewTest;
using FullScreen = StartUpViewTest;

TEST(GameStart, PlacesOnAWorkAreaOf1920x1040InBothViewsModuleDirectoryAndMutex)
{
    const StartupPlaces p = StartupPlacement(kWorkArea1040);
    EXPECT_TRUE(PointIs(p.backdrop, {383, 168}));
    EXPECT_TRUE(PointIs(p.game, {760, 376}));
    // Left and top of the work area are not added; odd remainders round toward zero.
    EXPECT_TRUE(PointIs(StartupPlacement(RECT{100, 40, 2020, 1080}).backdrop, {383, 168}));
    // (1000 - 1154) / 2 and (601 - 704) / 2 = -51.5 toward zero.
    EXPECT_TRUE(PointIs(StartupPlacement(RECT{0, 0, 1000, 601}).backdrop, {-77, -51}));
    EXPECT_TRUE(PointIs(CenteredOnWorkArea(kWorkArea1040, 1020, 704), {450, 168}));
    // The page in the game view: under the title bar, inside a one-pixel border unless maximised.
    EXPECT_TRUE(SameRect(GameViewPageRect(RECT{0, 0, 1020, 704}, false), RECT{1, 25, 1019, 703}));
    EXPECT_TRUE(SameRect(GameViewPageRect(RECT{0, 0, 1920, 1040}, true), RECT{0, 25, 1920, 1040}));

    // The module directory, and the mutex of the first instance.
    wchar_t path[260] = L"C:\\Games\\Harrowmere\\Harrowmere.exe";
    CutAtLastBackslash(path);
    EXPECT_STREQ(path, L"C:\\Games\\Harrowmere");
    wchar_t bare[260] = L"Harrowmere.exe";
    CutAtLastBackslash(bare);
    EXPECT_STREQ(bare, L"Harrowmere.exe");

    UniqueKernelHandle first = TakeInstanceMutex();
    ASSERT_TRUE(first);
    EXPECT_FALSE(TakeInstanceMutex());  // a second holder gets nothing
    first.Reset();
    EXPECT_TRUE(TakeInstanceMutex());
}

TEST_F(GamePlacement, BothWindowsWithClassesStylesOwnerAndPlaces)
{
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), RECT{383, 168, 1537, 872}));
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{760, 376, 1360, 762}));
    EXPECT_EQ(ClassOf(w.Game()), L"pelvarbrekmoor");
    EXPECT_EQ(ClassOf(w.Back()), L"pelvar_back");
    EXPECT_EQ(GetWindow(w.Game(), GW_OWNER), w.Back());
    EXPECT_EQ(GetWindow(w.Back(), GW_OWNER), nullptr);

    const LONG_PTR gameStyle = GetWindowLongPtrW(w.Game(), GWL_STYLE);
    EXPECT_EQ(gameStyle & (WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    EXPECT_EQ(gameStyle & WS_CAPTION, 0);
    EXPECT_TRUE(GetWindowLongPtrW(w.Game(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const LONG_PTR backEx = GetWindowLongPtrW(w.Back(), GWL_EXSTYLE);
    EXPECT_TRUE(backEx & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(backEx & WS_EX_LAYERED);
    EXPECT_FALSE(backEx & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongPtrW(w.Back(), GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_TRUE(IsWindowVisible(w.Back()));
    EXPECT_TRUE(IsWindowVisible(w.Game()));

    EXPECT_EQ(WindowText(w.Game()), L"Harrowmere网页版");
    EXPECT_EQ(w.game->minWidth, 600);
    EXPECT_EQ(w.game->minHeight, 386);
    EXPECT_EQ(w.game->backdrop.gameWindow, w.game.get());
    // The page fills the start-up window.
    ASSERT_NE(w.game->html.hwnd, nullptr);
    EXPECT_TRUE(SameRect(ChildRect(w.game->html.hwnd), RECT{0, 0, 600, 386}));
    EXPECT_EQ(w.game->trayIcon.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(w.game->trayIcon.uID, 128u);
    EXPECT_EQ(w.game->trayIcon.uCallbackMessage, WM_TRAY_ICON);
    EXPECT_NE(w.game->trayIcon.hIcon, nullptr);
    EXPECT_NE(w.game->titleFont.Get(), nullptr);
    // No title bar before the game view.
    EXPECT_TRUE(w.game->painter.buttons.empty());
    EXPECT_TRUE(w.game->painter.statics.empty());
}

TEST_F(GameView, EnteredOnceHiddenThenMaximised)
{
    // Hidden at first, and still when a timer started with the switch fires shortly before the
    // half second after which the window shows.
    ASSERT_TRUE(PumpUntilTimer(400, [&] {
        SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
    }));
    EXPECT_TRUE(w.game->gameView);
    EXPECT_TRUE(w.game->backdrop.gameView);
    EXPECT_TRUE(w.game->html.gameView);
    EXPECT_FALSE(IsWindowVisible(w.Game()));
    EXPECT_FALSE(IsWindowVisible(w.Back()));  // the frame goes with the hidden window
    EXPECT_TRUE(w.game->resizable);
    EXPECT_TRUE(w.game->roundCorners);
    EXPECT_EQ(w.game->painter.backColor, 0x0023373Cu);
    EXPECT_EQ(w.game->minWidth, 1020);
    EXPECT_EQ(w.game->minHeight, 704);
    EXPECT_NE(w.game->toolTip.hwnd, nullptr);
    EXPECT_EQ(w.game->backdrop.painter.buttons.size(), 0u);
    EXPECT_EQ(w.game->backdrop.painter.statics.size(), 0u);
    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    const POINT c = CenteredOnWorkArea(wa, 1020, 704);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{c.x, c.y, c.x + 1020, c.y + 704}));

    // A second switch (timer and document complete both asking) changes nothing.
    MoveWindow(w.Game(), 10, 20, 1100, 800, FALSE);
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{10, 20, 1110, 820}));
    EXPECT_FALSE(IsWindowVisible(w.Game()));

    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(w.Game()) && IsZoomed(w.Game()); }, 3000));
    // Maximised, the window has no shadow frame (it would reach onto a neighbouring monitor).
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    // The one-shot timer is gone.
    EXPECT_FALSE(KillTimer(w.Game(), TIMER_SHOW_MAXIMIZED));
}

TEST_F(GameView, SizingPlacesPageAndShadowFrame)
{
    ASSERT_TRUE(w.EnterGameViewShown());
    HWND page = w.game->html.hwnd;
    RECT client = {};
    GetClientRect(w.Game(), &client);
    EXPECT_TRUE(SameRect(ChildRect(page), RECT{0, 25, client.right, client.bottom}));

    w.Restore(100, 50, 1020, 704);
    EXPECT_TRUE(SameRect(ChildRect(page), RECT{1, 25, 1019, 703}));
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), RECT{94, 44, 1126, 760}));

    // Moving without sizing carries the frame along.
    SetWindowPos(w.Game(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), RECT{294, 194, 1326, 910}));

    // The minimum size holds in the game view.
    SetWindowPos(w.Game(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), RECT{300, 200, 1320, 904}));

    // Hidden as the boss key hides it, the frame goes too, and it comes back with the window.
    ShowWindow(w.Game(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(w.Back()));
    ShowWindow(w.Game(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(w.Back()));
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), RECT{294, 194, 1326, 910}));

    // Minimised, the frame follows the window's rectangle wherever the system puts it.
    ShowWindow(w.Game(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(w.Game()) != FALSE; }, 2000));
    EXPECT_TRUE(SameRect(WindowRect(w.Back()), ShadowRectFor(WindowRect(w.Game()), 6)));
}

TEST_F(FullScreen, TogglesOnlyWhileVisibleAndRestoresTheExactRectangle)
{
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
    // Not yet shown (the first 500 ms): nothing happens.
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    EXPECT_FALSE(w.game->fullScreen);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(w.Game()) && IsZoomed(w.Game()); }, 3000));
    w.Restore(120, 70, 1100, 760);
    const RECT before = WindowRect(w.Game());

    // Esc outside full screen changes nothing.
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    EXPECT_FALSE(w.game->fullScreen);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), before));

    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    EXPECT_TRUE(w.game->fullScreen);
    EXPECT_FALSE(w.game->painter.dragEnabled);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), screen));
    // The page covers the title bar's strip too.
    EXPECT_TRUE(SameRect(ChildRect(w.game->html.hwnd), RECT{0, 0, screen.right, screen.bottom}));

    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_LEAVE_FULL_SCREEN, 0);
    EXPECT_FALSE(w.game->fullScreen);
    EXPECT_TRUE(w.game->painter.dragEnabled);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), before));
    EXPECT_TRUE(SameRect(ChildRect(w.game->html.hwnd), RECT{1, 25, 1099, 759}));

    // F10 toggles both ways; hidden, it does nothing.
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    EXPECT_TRUE(w.game->fullScreen);
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    EXPECT_FALSE(w.game->fullScreen);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), before));
    ShowWindow(w.Game(), SW_HIDE);
    SendMessageW(w.Game(), WM_GAME_COMMAND, CMD_TOGGLE_FULL_SCREEN, 0);
    EXPECT_FALSE(w.game->fullScreen);
    EXPECT_TRUE(SameRect(WindowRect(w.Game()), before));
}

namespace {
// The game-window commands queued for h, taken from the queue.
std::vector<WPARAM> Commands(HWND h) { return TakeQueued(h, WM_GAME_COMMAND); }
std::vector<WPARAM> Times(size_t n, WPARAM command) { return std::vector<WPARAM>(n, command); }
}  // namespace

TEST_F(KeyPreTranslation, F10AndEscPostCommandsInTheGameViewOnly)
{
    gameApp& app = *clientApp;
    app.currentGame = w.game.get();
    HWND h = w.Game();

    MSG f10 = KeyMessage(h, WM_KEYDOWN, VK_F10);
    EXPECT_EQ(app.PreTranslateMessage(&f10), 0);
    EXPECT_TRUE(Commands(h).empty());  // start-up view

    SendMessageW(h, WM_GAME_COMMAND, CMD_ENTER_GAME_VIEW, 0);
    EXPECT_EQ(app.PreTranslateMessage(&f10), 0);
    EXPECT_EQ(Commands(h), Times(1, CMD_TOGGLE_FULL_SCREEN));
    MSG repeat = KeyMessage(h, WM_KEYDOWN, VK_F10, (1 << 30) | 1);
    app.PreTranslateMessage(&repeat);
    app.PreTranslateMessage(&repeat);
    EXPECT_EQ(Commands(h), Times(2, CMD_TOGGLE_FULL_SCREEN));
    MSG sysF10 = KeyMessage(h, WM_SYSKEYDOWN, VK_F10);  // F10 arrives as a system key
    app.PreTranslateMessage(&sysF10);
    EXPECT_EQ(Commands(h), Times(1, CMD_TOGGLE_FULL_SCREEN));

    MSG esc = KeyMessage(h, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(app.PreTranslateMessage(&esc), 0);
    EXPECT_EQ(Commands(h), Times(1, CMD_LEAVE_FULL_SCREEN));

    for (MSG other : {KeyMessage(h, WM_KEYUP, VK_F10), KeyMessage(h, WM_KEYUP, VK_ESCAPE),
                      KeyMessage(h, WM_KEYDOWN, 'A')})
        app.PreTranslateMessage(&other);
    EXPECT_TRUE(Commands(h).empty());

    // Through the real loop's walk: a queued F10 reaches the window as full screen.
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(h) && IsZoomed(h); }, 3000));
    PostMessageW(h, WM_KEYDOWN, VK_F10, 1);
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, h, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    app.PumpMessage(&m);
    ASSERT_TRUE(PumpUntil([&] { return w.game->fullScreen; }, 2000));
    app.currentGame = nullptr;
}

TEST(KeyCommand, ForAKey)
{
    MSG m = KeyMessage(nullptr, WM_KEYDOWN, VK_F10);
    EXPECT_EQ(FullScreenKeyCommand(m, true), CMD_TOGGLE_FULL_SCREEN);
    EXPECT_EQ(FullScreenKeyCommand(m, false), 0u);
    m.wParam = VK_ESCAPE;
    EXPECT_EQ(FullScreenKeyCommand(m, true), CMD_LEAVE_FULL_SCREEN);
    m.message = WM_SYSKEYUP;
    EXPECT_EQ(FullScreenKeyCommand(m, true), 0u);
    m.message = WM_CHAR;
    EXPECT_EQ(FullScreenKeyCommand(m, true), 0u);
}

TEST_F(GameEnd, DestroyCommandPostsCloseAndQuit)
{
    HWND back = w.Back();
    PostMessageW(w.Game(), WM_GAME_COMMAND, CMD_DESTROY, 0);
    MSG m;
    bool quit = false;
    const DWORD start = GetTickCount();
    while (!quit && GetTickCount() - start < 3000) {
        if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (m.message == WM_QUIT) quit = true;
        else DispatchMessageW(&m);
    }
    EXPECT_TRUE(quit);
    EXPECT_FALSE(IsWindow(w.game->hwnd ? w.game->hwnd : nullptr));
    // The posted WM_CLOSE ends the backdrop once it is handled.
    PumpUntil([&] { return !IsWindow(back); }, 2000);
    EXPECT_FALSE(IsWindow(back));
}
