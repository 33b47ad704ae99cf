// The browser child in a real parent window: the control created with the window, the page and
// the Flash window fitted to the child, and Tab, Esc and F10 in the game view.
#include "CMyHtml.h"
#include "FakeActiveObject.h"
#include "GameMessages.h"
#include "TestSupport.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::ChildRect;
using testing_support::KeyMessage;
using testing_support::PumpUntil;
using testing_support::RectIs;

namespace {

class MyHtmlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateTestWindow(L"BrowserTestGameWindow", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50,
                                  700, 500, nullptr);
        ASSERT_TRUE(parent);
        html = std::make_unique<CMyHtml>();
        ASSERT_TRUE(html->Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 700, 500, parent));
    }
    void TearDown() override
    {
        html.reset();
        if (IsWindow(parent)) DestroyWindow(parent);
    }
    // What the child's pre-translation answers for a key message to target.
    int Translate(HWND target, UINT message, WPARAM vk)
    {
        MSG msg = KeyMessage(target, message, vk);
        return html->PreTranslateMessage(&msg);
    }
    // A document window in the child, with the recorder as the control's active object.
    HWND RecordedDocument()
    {
        recorder.ActFor(html->browser);
        return ChildWindow(L"Internet Explorer_Server", html->hwnd);
    }
    // The game-window commands posted to the parent, taken from its queue.
    std::vector<WPARAM> PostedCommands() { return testing_support::TakeQueued(parent, WM_GAME_COMMAND); }
    HWND parent = nullptr;
    FakeActiveObject recorder;
    std::unique_ptr<CMyHtml> html;
};

}  // namespace

TEST_F(MyHtmlTest, CreatesTheControlWithItsWindowInTheBaseClass)
{
    EXPECT_EQ(L"ImageWnd", ClassOf(html->hwnd));
    EXPECT_FALSE(html->gameView);
    ASSERT_TRUE(html->browser.webBrowser) << "the control is created by OnCreate";
    EXPECT_EQ(1, html->browser.inPlaceActive);
    EXPECT_EQ(html->hwnd, html->browser.hostWindow);
    HWND embedding = html->browser.GetInPlaceWindow();
    ASSERT_TRUE(IsWindow(embedding));
    EXPECT_EQ(html->hwnd, GetParent(embedding));

    // Destroying the window only clears the flag; the control stays until the object goes.
    DestroyWindow(html->hwnd);
    EXPECT_EQ(nullptr, html->hwnd);
    EXPECT_EQ(0, html->browser.inPlaceActive);
    EXPECT_TRUE(html->browser.webBrowser);
}

TEST_F(MyHtmlTest, PageFillsTheChildFourPixelsTallerUntilTheGameViewAndFlashWindowIsExact)
{
    EXPECT_TRUE(RectIs(BrowserPlacement(RECT{0, 0, 600, 386}, false), {0, 0, 600, 390}));
    EXPECT_TRUE(RectIs(BrowserPlacement(RECT{0, 0, 600, 386}, true), {0, 0, 600, 386}));
    EXPECT_TRUE(RectIs(BrowserPlacement(RECT{}, false), {0, 0, 0, 4}));
    HWND embedding = html->browser.GetInPlaceWindow();
    ASSERT_TRUE(IsWindow(embedding));
    // Under Wine the shell browser's window is not offered: the in-place window is placed.
    MoveWindow(html->hwnd, 10, 20, 640, 480, TRUE);
    EXPECT_TRUE(RectIs(ChildRect(embedding), {0, 0, 640, 484}));

    // A Flash player window deep inside the page is always fitted exactly.
    HWND view = GetWindow(embedding, GW_CHILD);
    HWND flashParent = view ? view : embedding;
    HWND flash = ChildWindow(L"MacromediaFlashPlayerActiveX", flashParent);
    ASSERT_EQ(flash, FindFlashWindow(embedding));
    ASSERT_EQ(flash, FindFlashWindow(html->hwnd));
    html->OnSize(0, 0, 0);
    RECT f;
    GetWindowRect(flash, &f);
    EXPECT_EQ(640, f.right - f.left);
    EXPECT_EQ(480, f.bottom - f.top);

    html->gameView = true;
    MoveWindow(html->hwnd, 0, 0, 700, 500, TRUE);
    EXPECT_TRUE(RectIs(ChildRect(embedding), {0, 0, 700, 500}));
    GetWindowRect(flash, &f);
    EXPECT_EQ(700, f.right - f.left);
    EXPECT_EQ(500, f.bottom - f.top);
}

TEST_F(MyHtmlTest, CachedBrowserWindowIsMovedDirectly)
{
    // Where the control offers its shell window, that window is the one moved.
    HWND shell = ChildWindow(L"BrowserTestShell", html->hwnd);
    HWND flash = ChildWindow(L"MacromediaFlashPlayerActiveX", shell);
    html->browser.browserWindow = shell;
    HWND embedding = html->browser.GetInPlaceWindow();
    RECT before = ChildRect(embedding);
    MoveWindow(html->hwnd, 0, 0, 400, 300, TRUE);
    EXPECT_TRUE(RectIs(ChildRect(shell), {0, 0, 400, 304}));
    EXPECT_TRUE(RectIs(ChildRect(flash), {0, 0, 400, 300}));
    EXPECT_TRUE(RectIs(ChildRect(embedding), before));
    html->gameView = true;
    html->OnSize(0, 0, 0);
    EXPECT_TRUE(RectIs(ChildRect(shell), {0, 0, 400, 300}));
}

TEST(FindFlashWindow, MatchesTheExactClassAnywhereBelow)
{
    HostWindows windows;
    HWND middle = ChildWindow(L"BrowserTestMiddle", windows.host, WS_CHILD);
    ChildWindow(L"MacromediaFlashPlayerActiveXx", middle, WS_CHILD);
    EXPECT_EQ(nullptr, FindFlashWindow(windows.host));
    HWND flash = ChildWindow(L"MacromediaFlashPlayerActiveX", middle, WS_CHILD);
    HWND second = ChildWindow(L"MacromediaFlashPlayerActiveX", windows.host, WS_CHILD);
    EXPECT_EQ(flash, FindFlashWindow(windows.host)) << "the first in enumeration order";
    EXPECT_EQ(nullptr, FindFlashWindow(second));
    EXPECT_EQ(flash, FindFlashWindow(windows.frame));
}

TEST_F(MyHtmlTest, KeysGoToTheControlBeforeTheGameViewAndPostCommandsToTheParentInIt)
{
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_F10));
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_ESCAPE));
    EXPECT_TRUE(PostedCommands().empty());

    const HWND document = RecordedDocument();
    EXPECT_EQ(1, Translate(document, WM_SYSKEYDOWN, VK_F10)) << "consumed by the control";
    EXPECT_EQ(std::vector<WPARAM>{VK_F10}, recorder.keys);
    EXPECT_TRUE(PostedCommands().empty());

    html->gameView = true;
    recorder.keys.clear();

    // F10 toggles full screen and never reaches the control.
    EXPECT_EQ(1, Translate(document, WM_KEYDOWN, VK_F10));
    EXPECT_EQ(1, Translate(html->hwnd, WM_SYSKEYDOWN, VK_F10));
    EXPECT_EQ((std::vector<WPARAM>{CMD_TOGGLE_FULL_SCREEN, CMD_TOGGLE_FULL_SCREEN}), PostedCommands());
    EXPECT_TRUE(recorder.keys.empty());

    // Esc leaves full screen and is still offered to the control.
    EXPECT_EQ(1, Translate(document, WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(std::vector<WPARAM>{CMD_LEAVE_FULL_SCREEN}, PostedCommands());
    EXPECT_EQ(std::vector<WPARAM>{VK_ESCAPE}, recorder.keys);
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_ESCAPE)) << "not for the document window";
    EXPECT_EQ(std::vector<WPARAM>{CMD_LEAVE_FULL_SCREEN}, PostedCommands());

    // Key releases are not the three keys' business.
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYUP, VK_F10));
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYUP, VK_ESCAPE));
    EXPECT_TRUE(PostedCommands().empty());
}

TEST_F(MyHtmlTest, TabFocusesTheFlashWindowInTheGameView)
{
    SetForegroundWindow(parent);
    SetFocus(html->hwnd);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == parent && IsChild(parent, GetFocus()); }));
    const HWND focusBefore = GetFocus();
    html->gameView = true;
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_TAB)) << "no Flash window: focus stays, key goes on";
    EXPECT_EQ(focusBefore, GetFocus());

    HWND embedding = html->browser.GetInPlaceWindow();
    HWND flash = ChildWindow(L"MacromediaFlashPlayerActiveX", embedding ? embedding : html->hwnd);
    html->gameView = false;
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_TAB));
    EXPECT_NE(flash, GetFocus()) << "Tab is the page's own before the game view";
    html->gameView = true;
    EXPECT_EQ(0, Translate(html->hwnd, WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(flash, GetFocus());
}

TEST(MyHtmlLifetime, DestroyingTheObjectReleasesTheControl)
{
    HostWindows windows;
    // The first two rounds may leave the control's shared, cached objects behind (measured: two
    // objects, once per process); later rounds must not add any.
    EXPECT_TRUE(testing_support::LeavesNothingBehind(2, 4, [&](int round) {
        auto html = std::make_unique<CMyHtml>();
        ASSERT_TRUE(html->Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, windows.host));
        HWND embedding = html->browser.GetInPlaceWindow();
        ASSERT_TRUE(IsWindow(embedding));
        HWND child = html->hwnd;
        html.reset();
        EXPECT_FALSE(IsWindow(embedding)) << "round " << round;
        // The object's window closes later, without its object.
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(child); }, 3000)) << "round " << round;
    }));
}
