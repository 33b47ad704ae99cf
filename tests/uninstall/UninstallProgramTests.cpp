#include "ClientShutdown.h"
#include "FakeInstallation.h"
#include "HelperProcesses.h"
#include "PathIdentity.h"
#include "RemovalSteps.h"
#include "UninstallFlow.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

using testing_support::WaitUntil;

namespace {

const std::vector<std::wstring> kLeftForTheBatch = {L"pelvar_uninstall.bat", L"uninstall.exe"};

std::wstring FakeClient() { return WindowsPath(HM_FAKE_CLIENT_EXE); }

class UninstallProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(nullptr, FindClientWindow()) << "a client window is left over from elsewhere";
        ASSERT_TRUE(installation_.Create());
    }
    void TearDown() override { helpers_.EndAll(); }

    HANDLE StartClient(const std::wstring& program, DWORD& processId)
    {
        HANDLE process = helpers_.Start(program, L"window 1", &processId);
        EXPECT_NE(nullptr, process);
        const DWORD id = processId;
        EXPECT_TRUE(WaitUntil([id] { return FindWindowOf(id, kClientWindowClass) != nullptr; }, 15000));
        return process;
    }

    void ExpectAllRemoved()
    {
        EXPECT_FALSE(installation_.EntryExists());
        EXPECT_FALSE(Exists(FakeInstallation::Shortcut()));
        EXPECT_FALSE(Exists(FakeInstallation::Group()));
        EXPECT_EQ(kLeftForTheBatch, ListDirectory(installation_.Directory()));
        EXPECT_EQ(FakeInstallation::ExpectedBatch(Utf8(installation_.Directory())),
                  ReadBytes(installation_.Directory() + L"\\pelvar_uninstall.bat"));
    }

    void ExpectNothingRemoved()
    {
        EXPECT_TRUE(installation_.EntryExists());
        EXPECT_TRUE(Exists(FakeInstallation::Shortcut()));
        EXPECT_TRUE(Exists(FakeInstallation::Group() + L"\\uninstall.lnk"));
        EXPECT_TRUE(Exists(installation_.Directory() + L"\\data\\maps\\start.map"));
        EXPECT_FALSE(Exists(installation_.Directory() + L"\\pelvar_uninstall.bat"));
    }

    FakeInstallation installation_{L"C:\\Games\\HarrowmereFake"};
    HelperProcesses helpers_;
};

TEST_F(UninstallProgramTest, WithoutClientRemovesEverythingWithoutAsking)
{
    const FakeInstallation::Run run = installation_.RunUninstaller(IDNO);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(run.asked) << Utf8(run.text);
    EXPECT_EQ(1u, installation_.CompatibilityValue());
    ExpectAllRemoved();
}

TEST_F(UninstallProgramTest, AnsweringNoKeepsClientAndInstallation)
{
    DWORD processId = 0;
    HANDLE client = StartClient(FakeClient(), processId);
    const FakeInstallation::Run run = installation_.RunUninstaller(IDNO);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_TRUE(run.asked);
    EXPECT_EQ(L"<Harrowmere网页版>正在运行,是否关闭<Harrowmere网页版>？", run.text);
    EXPECT_EQ(L"Harrowmere网页版", run.caption);
    EXPECT_TRUE(run.yesAndNoOnly);
    EXPECT_FALSE(HasEnded(client));
    EXPECT_EQ(1u, installation_.CompatibilityValue());  // written before the question
    ExpectNothingRemoved();
}

TEST_F(UninstallProgramTest, AnsweringYesEndsTheClientAndRemovesEverything)
{
    // The client runs from the installation directory, so its file is in use until it ends.
    const std::wstring installedClient = installation_.Directory() + L"\\FakeClient.exe";
    ASSERT_TRUE(CopyFileW(FakeClient().c_str(), installedClient.c_str(), FALSE));
    DWORD processId = 0;
    HANDLE client = StartClient(installedClient, processId);
    const FakeInstallation::Run run = installation_.RunUninstaller(IDYES);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.asked);
    EXPECT_TRUE(HasEnded(client));
    ExpectAllRemoved();
}

TEST_F(UninstallProgramTest, ClientThatKeepsComingBackDoesNotStopTheRemoval)
{
    ASSERT_NE(nullptr, helpers_.Start(FakeClient(), L"respawn 4"));
    ASSERT_TRUE(WaitUntil([] { return FindClientWindow() != nullptr; }, 15000));
    const DWORD started = GetTickCount();
    const FakeInstallation::Run run = installation_.RunUninstaller(IDYES);
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.asked);
    // Ten rounds of half a second, a second's wait after them and one before the batch.
    EXPECT_GE(GetTickCount() - started, 7000u - 100u);
    ExpectAllRemoved();
}

TEST_F(UninstallProgramTest, MissingShortcutGroupAndEntryAreNoObstacle)
{
    DeleteFileW(FakeInstallation::Shortcut().c_str());
    RemoveTestTree(FakeInstallation::Group());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), KEY_WOW64_32KEY, 0);
    const FakeInstallation::Run run = installation_.RunUninstaller(IDNO);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    ExpectAllRemoved();
}

TEST(UninstallProgramGuard, CopyInAProtectedFolderLeavesTheFolderAlone)
{
    // An uninstaller copied into the public documents must not take them with it. (The same
    // holds for the desktop; the public folders are the prefix's own on every Wine set-up.)
    wchar_t documents[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, documents, CSIDL_COMMON_DOCUMENTS, FALSE));
    const std::wstring folder = documents;
    const std::wstring marker = folder + L"\\keep me.txt";
    const std::wstring uninstaller = folder + L"\\uninstall.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(marker, "mine"));
    ASSERT_TRUE(CopyFileW(WindowsPath(HM_UNINSTALL_EXE).c_str(), uninstaller.c_str(), FALSE));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                                             nullptr));
    RegCloseKey(key);

    HelperProcesses processes;
    HANDLE process = processes.Start(uninstaller);
    ASSERT_NE(nullptr, process);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 60000));
    DWORD exitCode = 1;
    GetExitCodeProcess(process, &exitCode);
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ("mine", ReadBytes(marker));
    EXPECT_TRUE(Exists(uninstaller));
    EXPECT_FALSE(Exists(folder + L"\\pelvar_uninstall.bat"));
    // Everything that is not the directory itself still goes.
    HKEY probe = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), 0,
                                           KEY_READ | KEY_WOW64_32KEY, &probe));
    DeleteFileW(marker.c_str());
    DeleteFileW(uninstaller.c_str());
}

TEST(UninstallProgramNames, ChineseDirectoryIsNamedExactlyOrLeftAlone)
{
    FakeInstallation installation(L"C:\\Games\\网页版安装");
    ASSERT_TRUE(installation.Create());
    const FakeInstallation::Run run = installation.RunUninstaller(IDNO);
    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(installation.EntryExists());
    const std::wstring batchPath = installation.Directory() + L"\\pelvar_uninstall.bat";
    const std::string batch = ReadBytes(batchPath);
    if (batch.empty()) {
        EXPECT_EQ(std::vector<std::wstring>{L"uninstall.exe"}, ListDirectory(installation.Directory()));
        return;
    }
    EXPECT_EQ(kLeftForTheBatch, ListDirectory(installation.Directory()));
    // Line 4 names the directory; read it as the command interpreter will.
    const std::string prefix = "DEL /F /A /Q \\\\?\\\"";
    const size_t start = batch.find(prefix);
    ASSERT_NE(std::string::npos, start);
    const size_t end = batch.find('"', start + prefix.size());
    const std::string named = batch.substr(start + prefix.size(), end - start - prefix.size());
    EXPECT_EQ(FakeInstallation::ExpectedBatch(named), batch);
    wchar_t decoded[MAX_PATH] = {};
    ASSERT_GT(MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, named.c_str(), -1, decoded, MAX_PATH), 0);
    EXPECT_TRUE(PathIdentity::Same(decoded, installation.Directory())) << named;
}

}  // namespace

namespace {

TEST(UninstallFlowPaths, DirectoryIsCutAtTheLastBackslash)
{
    EXPECT_EQ(L"C:\\Games\\X", UninstallFlow::InstallDirectoryOf(L"C:\\Games\\X\\uninstall.exe"));
    EXPECT_EQ(L"C:", UninstallFlow::InstallDirectoryOf(L"C:\\uninstall.exe"));
    EXPECT_EQ(L"", UninstallFlow::InstallDirectoryOf(L"uninstall.exe"));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(UninstallFlow::InstallDirectoryOf(self), UninstallFlow::OwnDirectory());
}

TEST(UninstallFlowPaths, PathsThatWouldBeCutAreNotUsed)
{
    // A group path cut at 259 characters would name some other folder of the Start menu.
    EXPECT_EQ(L"C:\\Desk\\Harrowmere网页版.lnk", UninstallFlow::JoinBounded(L"C:\\Desk", kProductTitle, L".lnk"));
    const std::wstring deep = L"C:\\" + std::wstring(245, L'd');
    EXPECT_EQ(deep + L"\\Harrowmere", UninstallFlow::JoinBounded(deep, L"Harrowmere", L""));
    EXPECT_EQ(L"", UninstallFlow::JoinBounded(deep, L"Harrowmere网页版", L".lnk"));
}

}  // namespace
