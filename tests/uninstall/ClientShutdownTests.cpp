#include "ClientShutdown.h"
#include "HelperProcesses.h"
#include "UninstallFlow.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using testing_support::PumpUntil;
using testing_support::WaitUntil;

namespace {

class ClientShutdownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(nullptr, FindClientWindow()) << "a client window is left over from elsewhere";
    }
    void TearDown() override
    {
        helpers.EndAll();
        EXPECT_TRUE(WaitUntil([] { return FindClientWindow() == nullptr; }, 5000));
    }
    HelperProcesses helpers;
};

TEST_F(ClientShutdownTest, FindsTheClientAndEndsItsProcessWhichCannotBeKilledOnceEnded)
{
    DWORD processId = 0;
    HANDLE process = StartFakeClient(helpers, processId);
    HWND window = FindClientWindow();
    ASSERT_NE(nullptr, window);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(processId, owner);
    EXPECT_TRUE(KillProcess(processId));
    EXPECT_TRUE(Ends(process, 5000));
    EXPECT_EQ(0u, ExitCodeOf(process));
    EXPECT_TRUE(WaitUntil([] { return FindClientWindow() == nullptr; }, 5000));

    // Started outside the helpers' job: a job keeps its ended processes' ids alive.
    std::wstring commandLine = L"\"" + WindowsPath(HM_FAKE_CLIENT_EXE) + L"\" window 1";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION outside = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &outside));
    UniqueKernelHandle processHandle(outside.hProcess), thread(outside.hThread);
    const DWORD id = outside.dwProcessId;
    EXPECT_TRUE(WaitUntil([id] { return FindWindowOf(id, kClientWindowClass) != nullptr; }, 15000));
    EXPECT_TRUE(KillProcess(id));
    EXPECT_TRUE(Ends(processHandle.Get(), 5000));
    processHandle.Reset();  // the id may stay openable a while; the process is gone
    EXPECT_FALSE(KillProcess(id));
    EXPECT_FALSE(KillProcess(0));
}

TEST_F(ClientShutdownTest, ProcessIsEndedOnlyWhileTheWindowStillBelongsToIt)
{
    // The id read from a window may have passed to another process by the time it is opened:
    // whatever the id now names is left alone unless the window is still there and its own.
    DWORD first = 0, second = 0;
    HANDLE a = StartFakeClient(helpers, first);
    HANDLE b = StartFakeClient(helpers, second);
    HWND windowA = FindWindowOf(first, kClientWindowClass);
    HWND windowB = FindWindowOf(second, kClientWindowClass);
    ASSERT_TRUE(windowA && windowB);
    EXPECT_FALSE(KillProcess(first, windowB));
    EXPECT_TRUE(KillProcess(second, windowB));
    ASSERT_TRUE(Ends(b, 5000));
    ASSERT_TRUE(WaitUntil([windowB] { return !IsWindow(windowB); }, 5000));
    EXPECT_FALSE(KillProcess(first, windowB));
    EXPECT_FALSE(Ends(a, 0));
    EXPECT_TRUE(KillProcess(first, windowA));
    EXPECT_TRUE(Ends(a, 5000));
}

TEST_F(ClientShutdownTest, EachClientProcessTakesOneRound)
{
    EXPECT_EQ(0, UninstallFlow::EndRunningClient()) << "no client, no window";
    DWORD processId = 0, first = 0, second = 0;
    HANDLE process = StartFakeClient(helpers, processId, L"window 2");
    EXPECT_EQ(1, UninstallFlow::EndRunningClient()) << "one process with two windows";
    EXPECT_TRUE(Ends(process, 0));
    HANDLE a = StartFakeClient(helpers, first);
    HANDLE b = StartFakeClient(helpers, second);
    EXPECT_EQ(2, UninstallFlow::EndRunningClient()) << "two clients";
    EXPECT_TRUE(Ends(a, 0));
    EXPECT_TRUE(Ends(b, 0));
    EXPECT_EQ(nullptr, FindClientWindow());
}

TEST_F(ClientShutdownTest, ClientThatKeepsComingBackGetsTenRounds)
{
    // Four window processes kept alive: whichever is killed, another one is already showing.
    ASSERT_NE(nullptr, helpers.Start(WindowsPath(HM_FAKE_CLIENT_EXE), L"respawn 4"));
    ASSERT_TRUE(WaitUntil([&] { return helpers.ProcessesSeen() == 5 && FindClientWindow(); }, 15000));
    // On a thread of its own, so that rounds which take for ever are reported.
    std::atomic<int> rounds{-1};
    std::thread ending([&] { rounds = UninstallFlow::EndRunningClient(); });
    EXPECT_TRUE(WaitUntil([&] { return rounds >= 0; }, 30000)) << "the rounds never end";
    ending.join();
    EXPECT_EQ(UninstallFlow::kKillRounds, rounds);
    // Each round lets the process it ended go before it looks again: ten rounds end ten
    // processes, each of which the guardian replaces.
    EXPECT_TRUE(WaitUntil([&] { return helpers.ProcessesSeen() == 5 + UninstallFlow::kKillRounds; }, 10000))
        << helpers.ProcessesSeen() << " processes";
    EXPECT_NE(nullptr, FindClientWindow());
}

// Criteria are matched against our own windows of a private class, so nothing else interferes.
class WindowCriteriaTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kProbeClass = L"HarrowmereCriteriaProbe";
    void TearDown() override
    {
        for (HWND window : windows)
            DestroyWindow(window);
    }
    HWND Make(const std::wstring& title)
    {
        windows.push_back(testing_support::CreateTestWindow(kProbeClass, WS_POPUP, 0, 0, 10, 10, nullptr,
                                                            title.c_str()));
        return windows.back();
    }
    static HWND Search(DWORD processId, const std::wstring& title, const std::wstring& className)
    {
        WindowCriteria criteria;
        ZeroMemory(&criteria, sizeof criteria);
        criteria.processId = processId;
        lstrcpynW(criteria.wantedTitle, title.c_str(), 256);
        lstrcpynW(criteria.wantedClass, className.c_str(), 256);
        EnumWindows(MatchWindowCriteria, reinterpret_cast<LPARAM>(&criteria));
        return criteria.result;
    }
    std::vector<HWND> windows;
};

TEST_F(WindowCriteriaTest, TitleClassAndProcessMustAllMatch)
{
    const std::wstring longTitle(400, L'T');
    HWND plain = Make(L"Harrowmere probe");
    HWND longOne = Make(longTitle);
    const DWORD self = GetCurrentProcessId();
    EXPECT_EQ(plain, Search(self, L"Harrowmere probe", kProbeClass));
    EXPECT_EQ(plain, Search(0, L"Harrowmere probe", kProbeClass));
    EXPECT_EQ(nullptr, Search(self, L"harrowmere probe", kProbeClass));
    EXPECT_EQ(nullptr, Search(self, L"Harrowmere probe", L"pelvarbrekmoor"));
    EXPECT_EQ(nullptr, Search(self + 4, L"Harrowmere probe", kProbeClass));
    // Titles are read cut to 255 characters: the long one answers to its first 255.
    EXPECT_EQ(longOne, Search(self, longTitle.substr(0, 255), kProbeClass));
    EXPECT_EQ(nullptr, FindClientWindow());
}

}  // namespace
