// The real Harrowmere.exe, started as a user starts it and driven from outside: its windows,
// the single-instance mutex, the game view, full screen, closing through the backdrop, and the
// offline notice while the operator's server refuses connections.
#include "LocalHttpServer.h"  // first: Winsock before windows.h
#include "ChildProcesses.h"
#include "TestSupport.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

using namespace testing_support;

constexpr UINT kGameCommand = 0x08E5;
constexpr WPARAM kEnterGameView = 1001, kDestroy = 5557, kToggleFullScreen = 5562;

// One start of the real client, ended with the test at the latest.
class Client {
public:
    bool Start() { return (process = processes.Start(HM_CLIENT_EXE)) != nullptr; }
    // Started, with its windows up and noted.
    bool Open() { return Start() && WaitForWindows(); }
    // The first top-level window of the client with the class, or null.
    HWND Find(const wchar_t* cls, bool visibleOnly = false) const
    {
        return TopLevelWindow(cls, GetProcessId(process), visibleOnly);
    }
    // Waits for the game window and the backdrop, and notes them.
    bool WaitForWindows()
    {
        const bool up = WaitUntil([&] { return Find(L"pelvarbrekmoor") && Find(L"pelvar_back"); }, 20000);
        game = Find(L"pelvarbrekmoor");
        back = Find(L"pelvar_back");
        return up;
    }
    // The process ends within ten seconds, with exit code 0.
    ::testing::AssertionResult EndsWell() const
    {
        if (!Ends(process, 10000)) return ::testing::AssertionFailure() << "the client still runs";
        if (ExitCodeOf(process) == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "exit code " << ExitCodeOf(process);
    }
    HWND game = nullptr, back = nullptr;

private:
    ChildProcesses processes;
    HANDLE process = nullptr;
};

bool MutexExists() { return static_cast<bool>(UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, L"zelk"))); }

const RECT kScreen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

}  // namespace

TEST(EndToEnd, StartGameViewFullScreenAndClose)
{
    ASSERT_FALSE(MutexExists()) << "another client is running";
    Client first;
    ASSERT_TRUE(first.Open()) << GetLastError();
    const HWND game = first.game, back = first.back;

    RECT wa = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
    const int bx = (wa.right - wa.left - 1154) / 2, by = (wa.bottom - wa.top - 704) / 2;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(game) && IsWindowVisible(back); }, 10000));
    EXPECT_TRUE(RectIs(WindowRect(back), RECT{bx, by, bx + 1154, by + 704}));
    EXPECT_TRUE(RectIs(WindowRect(game), RECT{bx + 377, by + 208, bx + 977, by + 594}));
    EXPECT_EQ(GetWindow(game, GW_OWNER), back);
    const LONG_PTR style = GetWindowLongPtrW(game, GWL_STYLE);
    EXPECT_EQ(style & 0x92030000, 0x92030000);
    EXPECT_TRUE(GetWindowLongPtrW(game, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const LONG_PTR backEx = GetWindowLongPtrW(back, GWL_EXSTYLE);
    EXPECT_TRUE(backEx & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(backEx & WS_EX_LAYERED);
    EXPECT_FALSE(backEx & WS_EX_APPWINDOW);
    EXPECT_EQ(WindowText(game), L"Harrowmere网页版");
    EXPECT_TRUE(MutexExists());

    // A second start opens its own windows and holds no mutex of its own.
    Client second;
    ASSERT_TRUE(second.Open());
    const HWND game2 = second.game, back2 = second.back;
    EXPECT_NE(game2, game);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(game2) != FALSE; }, 10000));
    EXPECT_TRUE(MutexExists());

    // The game view: hidden when the switch has been handled, maximised a moment later, with
    // its minimum size.
    ASSERT_TRUE(SendMessageTimeoutW(game, kGameCommand, kEnterGameView, 0, SMTO_ABORTIFHUNG, 5000, nullptr));
    EXPECT_FALSE(IsWindowVisible(game));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(game) && IsZoomed(game); }, 5000));
    EXPECT_TRUE(RectIs(WindowRect(game), wa));
    ShowWindow(game, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(game); }, 3000));
    SetWindowPos(game, nullptr, 40, 30, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(game), RECT{40, 30, 1060, 734}); }, 3000))
        << RectText(WindowRect(game));
    // The shadow frame surrounds it.
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(back), RECT{34, 24, 1066, 740}); }, 3000))
        << RectText(WindowRect(back));

    // Full screen on and off.
    const RECT windowed = WindowRect(game);
    PostMessageW(game, kGameCommand, kToggleFullScreen, 0);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(game), kScreen); }, 3000));
    PostMessageW(game, kGameCommand, kToggleFullScreen, 0);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(game), windowed); }, 3000));

    // The destroy command ends the first, and the mutex goes with it while the second still
    // runs: the second never took it.
    PostMessageW(game, kGameCommand, kDestroy, 0);
    ASSERT_TRUE(first.EndsWell());
    EXPECT_TRUE(IsWindow(game2));
    EXPECT_FALSE(MutexExists());

    // The second instance closes through its backdrop's close button, with confirmation.
    PostClick(back2, 1045, 171);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = second.Find(L"pelvardorsin", true)) != nullptr; }, 5000));
    const RECT b2 = WindowRect(back2);
    EXPECT_TRUE(RectIs(WindowRect(question), RECT{b2.left + 429, b2.top + 257, b2.left + 724, b2.top + 447}));
    EXPECT_EQ(GetWindow(question, GW_OWNER), back2);
    PostClick(question, 84, 117);
    ASSERT_TRUE(second.EndsWell());
}

TEST(EndToEnd, HmctlFindsTheClientAndPostsItsCommands)
{
    ChildProcesses tools;
    auto Hmctl = [&](const wchar_t* args) { return tools.Run(HM_HMCTL_EXE, args); };
    EXPECT_EQ(Hmctl(L"find"), 1u);  // no client
    EXPECT_EQ(Hmctl(L"jump"), 2u);
    EXPECT_EQ(Hmctl(L"--wait x find"), 2u);
    Client client;
    ASSERT_TRUE(client.Start());
    EXPECT_EQ(Hmctl(L"--wait 20 find"), 0u);
    ASSERT_TRUE(client.WaitForWindows());
    const HWND game = client.game;
    EXPECT_EQ(Hmctl(L"enter-game-view"), 0u);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(game) && IsZoomed(game); }, 5000));
    const RECT maximised = WindowRect(game);
    auto topmost = [&] { return (GetWindowLongPtrW(game, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_EQ(Hmctl(L"fullscreen"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(game), kScreen); }, 3000));
    EXPECT_TRUE(WaitUntil(topmost, 3000));
    EXPECT_EQ(Hmctl(L"leave-fullscreen"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(WindowRect(game), maximised); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return !topmost(); }, 3000));
    EXPECT_EQ(Hmctl(L"close"), 0u);
    ASSERT_TRUE(client.EndsWell());
}

namespace {
// The port of the operator address the client was built with, when it is ours on loopback.
unsigned short LoopbackOperatorPort()
{
    const std::wstring url = HM_OPERATOR_URL;
    const std::wstring prefix = L"http://127.0.0.1:";
    if (url.compare(0, prefix.size(), prefix) != 0) return 0;
    const unsigned long port = std::wcstoul(url.c_str() + prefix.size(), nullptr, 10);
    return port > 0 && port < 65536 ? static_cast<unsigned short>(port) : 0;
}

// The seconds of the notice's count-down as its window text gives them; 0 while it retries.
int CountdownOf(HWND notice)
{
    // Asked of the window itself: GetWindowText reads no other process's child windows.
    wchar_t text[128] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(notice, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &copied);
    const wchar_t* line = std::wcschr(text, L'\n');
    return line ? static_cast<int>(std::wcstol(line + 1, nullptr, 10)) : -1;
}
}  // namespace

TEST(EndToEnd, OfflineNoticeWhileTheServerRefusesThenThePageWhenItAnswers)
{
    const unsigned short port = LoopbackOperatorPort();
    if (!port) GTEST_SKIP() << "the client was built for an operator site that is not on loopback";
    // Held without serving: the client's connections are refused until the site listens.
    LocalHttpServer site(120000, port, false);
    if (!site.Bound()) GTEST_SKIP() << "port " << port << " is in use by another program";
    ASSERT_FALSE(MutexExists()) << "another client is running";
    Client client;
    ASSERT_TRUE(client.Open());
    const HWND game = client.game;
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        notice = FindWindowExW(game, nullptr, L"pelvar_offline", nullptr);
        return notice && IsWindowVisible(notice);
    }, 30000)) << "no offline notice";
    const HWND page = FindWindowExW(game, nullptr, L"ImageWnd", nullptr);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(IsWindowVisible(page));
    // In the start-up view the page fills the game window.
    RECT clientArea = {};
    GetClientRect(game, &clientArea);
    RECT over = WindowRect(notice);
    MapWindowPoints(nullptr, game, reinterpret_cast<POINT*>(&over), 2);
    EXPECT_TRUE(SameRect(over, clientArea)) << RectText(over);

    // The count-down runs, and its end retries by itself: refused again, the next wait is longer.
    const int first = CountdownOf(notice);
    EXPECT_TRUE(first >= 1 && first <= 5) << first;
    EXPECT_TRUE(WaitUntil([&] { const int s = CountdownOf(notice); return s >= 1 && s < first; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return CountdownOf(notice) > 5; }, 20000)) << "no second failure";

    // In the game view it stays over the page, which now spans the maximised window.
    PostMessageW(game, kGameCommand, kEnterGameView, 0);
    EXPECT_TRUE(WaitUntil([&] {
        const RECT g = WindowRect(game), p = WindowRect(page);
        return IsZoomed(game) && p.right - p.left == g.right - g.left && SameRect(WindowRect(notice), p);
    }, 10000)) << RectText(WindowRect(notice)) << " over " << RectText(WindowRect(page));
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_FALSE(IsWindowVisible(page));

    // The site comes up; "重试" gets the page back without waiting.
    ASSERT_TRUE(site.Listen());
    RECT area = {};
    GetClientRect(notice, &area);
    PostClick(notice, area.right / 2, (area.bottom - 240) / 2 + 197);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(notice) && IsWindowVisible(page); }, 20000))
        << "still offline: " << CountdownOf(notice);
    EXPECT_FALSE(site.Requests().empty());
    EXPECT_TRUE(IsWindowVisible(game));

    PostMessageW(game, kGameCommand, kDestroy, 0);
    ASSERT_TRUE(client.EndsWell());
}
