#include "CAppManager.h"
#include "CWindowCtrl.h"
#include "TestSupport.h"
#include "UniqueHandle.h"
#include "WindowClass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

using testing_support::PumpUntil;

namespace {

class RecordingApp : public CAppManager {
public:
    int PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_APP + 1) ++appSaw;
        return 0;
    }
    LRESULT OnUnboundMessage(HWND hwnd, UINT message, WPARAM, LPARAM) override
    {
        unbound.push_back(message);
        return 0;
    }
    int appSaw = 0;
    std::vector<UINT> unbound;
};

class ProbeWindow : public CWindowCtrl {
public:
    int PreTranslateMessage(MSG* msg) override
    {
        if (msg->message != WM_APP + 1) return 0;
        ++preSaw;
        return consume ? 1 : 0;
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCHITTEST && answerHitTest) return HTCAPTION;
        if (message == WM_APP + 2) return reinterpret_cast<LRESULT>(app);
        if (message == WM_NCDESTROY) handleAtNcDestroy = hwnd;
        return 0;
    }
    void OnCreate(CREATESTRUCTW*) override { ++created; }
    void OnDestroy() override { ++destroyed; }
    void OnTimer(UINT_PTR id) override { timers.push_back(id); }
    LRESULT OnNcHitTest(POINT) override
    {
        ++hitTests;
        return HTCLIENT;
    }
    void OnSize(UINT, int cx, int cy) override { lastSize = {cx, cy}; }
    void OnMove(int x, int y) override { lastMove = {x, y}; }

    bool consume = false;
    bool answerHitTest = false;
    HWND handleAtNcDestroy = reinterpret_cast<HWND>(1);
    int preSaw = 0, created = 0, destroyed = 0, hitTests = 0;
    std::vector<UINT_PTR> timers;
    POINT lastSize{-1, -1}, lastMove{-1, -1};
};

// One registered application for the test thread, unregistered again afterwards.
class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterApp(&app));
        moduleInstance = GetModuleHandleW(nullptr);
    }
    void TearDown() override { UnregisterApp(app.threadId); }
    RecordingApp app;
};

bool timerProcCalled = false;
void CALLBACK MarkTimerProc(HWND, UINT, UINT_PTR, DWORD) { timerProcCalled = true; }

}  // namespace

TEST_F(FrameworkTest, OneApplicationPerThreadAndTwoThreadsEachReachTheirOwn)
{
    EXPECT_EQ(single.load(), &app);
    EXPECT_EQ(FindApp(GetCurrentThreadId()), &app);
    RecordingApp second;
    EXPECT_FALSE(RegisterApp(&second));
    EXPECT_EQ(second.threadId, 0u);
    UnregisterApp(0xFFFFFFF0u);  // not registered: nothing changes
    EXPECT_EQ(FindApp(GetCurrentThreadId()), &app);
    EXPECT_EQ(single.load(), &app);

    const UniqueKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    RecordingApp otherApp;
    ProbeWindow otherWindow;
    std::thread worker([&] {
        RegisterApp(&otherApp);
        otherWindow.Create(0, L"FwThreadWnd", L"other", WS_POPUP, 0, 0, 50, 50, nullptr);
        SetEvent(ready.Get());
        MSG msg;
        while (WaitForSingleObject(done.Get(), 0) != WAIT_OBJECT_0) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            MsgWaitForMultipleObjects(1, &done.Get(), FALSE, 10, QS_ALLINPUT);
        }
        DestroyWindow(otherWindow.hwnd);
        UnregisterApp(otherApp.threadId);
    });
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    EXPECT_EQ(single.load(), nullptr);

    ProbeWindow mine;
    HWND mineHwnd = mine.Create(0, L"FwThreadWnd", L"mine", WS_POPUP, 0, 0, 50, 50, nullptr);
    EXPECT_TRUE(mineHwnd) << GetLastError();
    EXPECT_EQ(mine.app, &app);
    EXPECT_TRUE(otherWindow.hwnd);
    EXPECT_EQ(reinterpret_cast<CAppManager*>(SendMessageW(otherWindow.hwnd, WM_APP + 2, 0, 0)),
              &otherApp);
    EXPECT_EQ(reinterpret_cast<CAppManager*>(SendMessageW(mine.hwnd, WM_APP + 2, 0, 0)), &app);
    EXPECT_EQ(otherApp.windows.size(), 1u);
    EXPECT_EQ(std::count(app.windows.begin(), app.windows.end(), &otherWindow), 0);

    SetEvent(done.Get());
    worker.join();
    DestroyWindow(mine.hwnd);
    // With one application left, single stays null until the registry empties.
    EXPECT_EQ(single.load(), nullptr);
}

TEST_F(FrameworkTest, PreTranslationWalksTheParentChain)
{
    ProbeWindow parent;
    ASSERT_TRUE(parent.Create(0, L"FwWalkWnd", L"p", WS_POPUP, 0, 0, 100, 100, nullptr));
    // A plain child without any window object.
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.hwnd, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(child);

    MSG msg = {child, WM_APP + 1, 0, 0};
    EXPECT_FALSE(app.PreTranslateWalk(&msg));
    EXPECT_EQ(parent.preSaw, 1);
    EXPECT_EQ(app.appSaw, 1);

    parent.consume = true;
    EXPECT_TRUE(app.PreTranslateWalk(&msg));
    EXPECT_EQ(parent.preSaw, 2);
    EXPECT_EQ(app.appSaw, 1);  // consumed before the application saw it
    DestroyWindow(parent.hwnd);
}

TEST_F(FrameworkTest, RunDeliversQueuedMessagesUntilQuit)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create(0, L"FwRunWnd", L"r", WS_POPUP, 0, 0, 30, 30, nullptr));
    PostMessageW(w.hwnd, WM_APP + 1, 0, 0);
    PostMessageW(w.hwnd, WM_TIMER, 77, 0);
    PostQuitMessage(5);
    EXPECT_TRUE(app.Run());
    EXPECT_FALSE(app.running);
    EXPECT_EQ(w.preSaw, 1);
    EXPECT_EQ(app.appSaw, 1);
    ASSERT_EQ(w.timers.size(), 1u);
    EXPECT_EQ(w.timers[0], 77u);
    // GetMessageW answered WM_QUIT with zero: the loop ended and consumed it.
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    std::thread foreign([&] { EXPECT_FALSE(app.Run()); });
    foreign.join();
    DestroyWindow(w.hwnd);
}

TEST_F(FrameworkTest, ClassesAreRegisteredOncePerNameNamesAreCutAndWithoutApplicationNothingIsCreated)
{
    EXPECT_FALSE(IsWindowClassRegistered(L"FwOnceCls"));
    ASSERT_TRUE(RegisterWindowClass(L"FwOnceCls"));
    WNDCLASSEXW wc = {sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(moduleInstance, L"FwOnceCls", &wc));
    EXPECT_EQ(wc.style, UINT(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.lpfnWndProc, &SharedWindowProc);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    // Remove the class behind the registry's back: the second call is answered from the list
    // and does not register it again.
    ASSERT_TRUE(UnregisterClassW(L"FwOnceCls", moduleInstance));
    EXPECT_TRUE(RegisterWindowClass(L"FwOnceCls"));
    EXPECT_FALSE(GetClassInfoExW(moduleInstance, L"FwOnceCls", &wc));

    // Another letter case is another name for the list, though the system may call it a duplicate.
    ASSERT_TRUE(RegisterWindowClass(L"FwCaseCls"));
    EXPECT_FALSE(IsWindowClassRegistered(L"fwcasecls"));
    EXPECT_TRUE(RegisterWindowClass(L"fwcasecls"));
    EXPECT_TRUE(IsWindowClassRegistered(L"fwcasecls"));
    EXPECT_FALSE(IsWindowClassRegistered(L"FwCaseCl"));

    // A window object's class name is cut to 63 characters.
    ProbeWindow w;
    w.SetClassName(std::wstring(100, L'x').c_str());
    EXPECT_EQ(std::wstring(w.className), std::wstring(63, L'x'));
    w.SetClassName(nullptr);
    EXPECT_EQ(wcslen(w.className), 63u);
    w.SetClassName(L"Own");
    w.SetClassName(w.className);
    EXPECT_STREQ(w.className, L"Own");

    // Without an application on the thread nothing is created.
    ProbeWindow bareWindow;
    std::thread bare([&] {
        EXPECT_EQ(bareWindow.Create(0, L"FwBareWnd", L"b", WS_POPUP, 0, 0, 5, 5, nullptr), nullptr);
        EXPECT_EQ(bareWindow.DoModal(L"NONE", nullptr), 0);
    });
    bare.join();
    EXPECT_EQ(bareWindow.hwnd, nullptr);
    // No dialog templates exist: the dialog fails and its result is kept.
    EXPECT_EQ(bareWindow.DoModal(MAKEINTRESOURCEW(999), nullptr), -1);
    EXPECT_EQ(bareWindow.dialogResult, -1);
}

TEST_F(FrameworkTest, WindowLifecycleBindsAndUnbindsAndDestroyingTheObjectClosesItsWindowLater)
{
    auto w = std::make_unique<ProbeWindow>();
    EXPECT_STREQ(w->className, L"ImageWnd");
    HWND h = w->Create(0, L"", L"life", WS_POPUP, 10, 20, 130, 40, nullptr);
    ASSERT_TRUE(h);
    EXPECT_EQ(testing_support::ClassOf(h), L"ImageWnd");  // an empty name keeps the object's own
    EXPECT_EQ(w->created, 1);
    EXPECT_EQ(w->lastSize.x, 130);
    EXPECT_EQ(w->lastMove.y, 20);
    EXPECT_EQ(app.FindWindowObject(h), w.get());
    EXPECT_EQ(w->Create(0, L"Other", L"again", WS_POPUP, 0, 0, 5, 5, nullptr), h);
    EXPECT_STREQ(w->className, L"ImageWnd");

    DestroyWindow(h);
    EXPECT_EQ(w->destroyed, 1);
    EXPECT_EQ(w->handleAtNcDestroy, nullptr);  // already null while WM_NCDESTROY is handled
    EXPECT_EQ(w->hwnd, nullptr);
    EXPECT_EQ(std::count(app.windows.begin(), app.windows.end(), w.get()), 0);

    // The object may create a new window afterwards. Destroying the object leaves that window
    // to WM_CLOSE, which arrives unbound, and default processing destroys it.
    h = w->Create(0, nullptr, L"new", WS_POPUP, 0, 0, 5, 5, nullptr);
    ASSERT_TRUE(h);
    w.reset();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(app.FindWindowObject(h), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(h); }));
    EXPECT_NE(std::find(app.unbound.begin(), app.unbound.end(), UINT(WM_CLOSE)), app.unbound.end());
}

TEST_F(FrameworkTest, BoundWindowAnswersTimersHitTestsAndKeepsItsBinding)
{
    ProbeWindow w;
    ASSERT_TRUE(w.Create(0, L"FwProbeWnd", L"t", WS_POPUP, 0, 0, 30, 30, nullptr));
    {
        SCOPED_TRACE("a timer never reaches default processing");
        timerProcCalled = false;
        // DefWindowProcW would call a timer procedure passed in lParam.
        LRESULT r = SendMessageW(w.hwnd, WM_TIMER, 42, reinterpret_cast<LPARAM>(&MarkTimerProc));
        EXPECT_EQ(r, 1);
        EXPECT_FALSE(timerProcCalled);
        ASSERT_EQ(w.timers.size(), 1u);
        EXPECT_EQ(w.timers[0], 42u);
    }
    {
        SCOPED_TRACE("an answer of HandleMessage bypasses the handlers");
        EXPECT_EQ(SendMessageW(w.hwnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCLIENT);
        EXPECT_EQ(w.hitTests, 1);
        w.answerHitTest = true;
        EXPECT_EQ(SendMessageW(w.hwnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCAPTION);
        EXPECT_EQ(w.hitTests, 1);
    }
    {
        SCOPED_TRACE("a handle already listed is refused to another object");
        ProbeWindow impostor;
        const size_t before = app.windows.size();
        EXPECT_FALSE(app.AddWindow(w.hwnd, &impostor));
        EXPECT_EQ(app.windows.size(), before);
        EXPECT_EQ(app.FindWindowObject(w.hwnd), &w);
    }
    DestroyWindow(w.hwnd);
}

