#include "ClientShutdown.h"
#include "FakeInstallation.h"
#include "HelperProcesses.h"
#include "MachineStateGuard.h"
#include "PathIdentity.h"
#include "RemovalSteps.h"
#include "UninstallFlow.h"
#include "ScratchFolder.h"
#include "TestSupport.h"
#include "WineLinks.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>

using testing_support::WaitUntil;

namespace {

class UninstallProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
        ASSERT_EQ(nullptr, FindClientWindow()) << "a client window is left over from elsewhere";
        ASSERT_TRUE(installation.Create()) << installation.Problem();
    }
    void TearDown() override { helpers.EndAll(); }

    FakeInstallation installation{L"C:\\Games\\HarrowmereFake"};
    HelperProcesses helpers;
};

TEST_F(UninstallProgramTest, WithoutClientRemovesEverythingWithoutAsking)
{
    const FakeInstallation::Run run = installation.RunUninstaller(IDNO);
    EXPECT_FALSE(run.asked) << Utf8(run.text);
    EXPECT_EQ(1u, installation.CompatibilityValue());
    ExpectUninstalled(run, installation.Directory());
}

TEST_F(UninstallProgramTest, AnsweringNoKeepsClientAndInstallationAnsweringYesEndsAndRemovesThem)
{
    // The client runs from the installation directory, so its file is in use until it ends.
    const std::wstring installedClient = installation.Directory() + L"\\FakeClient.exe";
    ASSERT_TRUE(CopyFileW(WindowsPath(HM_FAKE_CLIENT_EXE).c_str(), installedClient.c_str(), FALSE));
    DWORD processId = 0;
    HANDLE client = StartFakeClient(helpers, processId, L"window 1", installedClient);
    FakeInstallation::Run run = installation.RunUninstaller(IDNO);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_TRUE(run.asked);
    EXPECT_EQ(FakeInstallation::kCloseQuestion, run.text);
    EXPECT_EQ(L"Harrowmere网页版", run.caption);
    EXPECT_TRUE(run.yesAndNoOnly);
    EXPECT_FALSE(Ends(client, 0));
    EXPECT_EQ(1u, installation.CompatibilityValue());  // written before the question
    // Nothing removed.
    EXPECT_TRUE(installation.EntryExists());
    EXPECT_TRUE(Exists(FakeInstallation::Shortcut()));
    EXPECT_TRUE(Exists(FakeInstallation::Group() + L"\\uninstall.lnk"));
    EXPECT_TRUE(Exists(installation.Directory() + L"\\data\\maps\\start.map"));
    EXPECT_TRUE(run.batchPath.empty());

    run = installation.RunUninstaller(IDYES);
    EXPECT_TRUE(run.asked);
    EXPECT_TRUE(Ends(client, 0));
    ExpectUninstalled(run, installation.Directory());
}

TEST_F(UninstallProgramTest, ClientThatKeepsComingBackDoesNotStopTheRemoval)
{
    ASSERT_NE(nullptr, helpers.Start(WindowsPath(HM_FAKE_CLIENT_EXE), L"respawn 4"));
    ASSERT_TRUE(WaitUntil([&] { return helpers.ProcessesSeen() == 5 && FindClientWindow(); }, 15000));
    const FakeInstallation::Run run = installation.RunUninstaller(IDYES);
    EXPECT_TRUE(run.asked);
    // Ten rounds, each ending a process that the guardian replaces.
    EXPECT_TRUE(WaitUntil([&] { return helpers.ProcessesSeen() == 15; }, 10000)) << helpers.ProcessesSeen();
    ExpectUninstalled(run, installation.Directory());
}

TEST_F(UninstallProgramTest, MissingShortcutGroupAndEntryAreNoObstacle)
{
    DeleteFileW(FakeInstallation::Shortcut().c_str());
    RemoveTestTree(FakeInstallation::Group());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), KEY_WOW64_32KEY, 0);
    ExpectUninstalled(installation.RunUninstaller(IDNO), installation.Directory());
}

// Runs the uninstaller copied to directory (which the test made or owns) with marker files of
// others beside it, and checks that the refusal is silent and removes nothing but the entry.
class MisplacedUninstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
        ASSERT_TRUE(scratch.Make(L"others"));
        ASSERT_TRUE(WriteBytes(scratch.At(L"others\\keep.txt"), "theirs"));
    }
    void TearDown() override
    {
        for (const std::wstring& file : madeFiles)
            DeleteFileW(file.c_str());
    }
    void Place(const std::wstring& directory)
    {
        uninstaller = directory + L"\\uninstall.exe";
        ASSERT_TRUE(CopyFileW(WindowsPath(HM_UNINSTALL_EXE).c_str(), uninstaller.c_str(), TRUE)) << Utf8(uninstaller);
        madeFiles.push_back(uninstaller);
        marker = directory + L"\\keep me.txt";
        ASSERT_TRUE(!Exists(marker) && WriteBytes(marker, "mine"));
        madeFiles.push_back(marker);
        installation.reset(new FakeInstallation(scratch.At(L"entry only")));
        ASSERT_TRUE(installation->Create()) << installation->Problem();
    }
    void RunAndExpectNothingRemoved(const std::wstring& currentDirectory = L"")
    {
        const FakeInstallation::Run run =
            FakeInstallation::RunAndAnswer(uninstaller, IDYES, 60000, currentDirectory);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_FALSE(run.asked);
        EXPECT_EQ("mine", ReadBytes(marker));
        EXPECT_TRUE(Exists(uninstaller));
        EXPECT_EQ("theirs", ReadBytes(scratch.At(L"others\\keep.txt")));
        EXPECT_TRUE(run.batchPath.empty()) << Utf8(run.batchPath);
        // Everything that is not the directory itself still goes.
        EXPECT_FALSE(installation->EntryExists());
    }

    ScratchFolder scratch;
    WineLinks links;
    std::unique_ptr<FakeInstallation> installation;
    std::vector<std::wstring> madeFiles;
    std::wstring uninstaller, marker;
};

TEST_F(MisplacedUninstallerTest, CopyInAProtectedFolderLeavesTheFolderAlone)
{
    // The public documents; the public folders are the prefix's own on every Wine set-up.
    const std::wstring documents = ShellFolder(CSIDL_COMMON_DOCUMENTS);
    ASSERT_TRUE(Exists(documents));
    ASSERT_NO_FATAL_FAILURE(Place(documents));
    RunAndExpectNothingRemoved();
}

TEST_F(MisplacedUninstallerTest, CopyAtADriveRootLeavesTheDriveAlone)
{
    // "R:\\uninstall.exe" makes the directory "R:", which the system reads as the current
    // folder on R:; started from inside "R:\\others", nothing on R: may go.
    if (!WineLinks::Available())
        GTEST_SKIP() << "needs Wine to map a drive letter to a scratch folder";
    const std::wstring drive = links.MapDrive(scratch.Path());
    ASSERT_FALSE(drive.empty());
    ASSERT_NO_FATAL_FAILURE(Place(drive));
    RunAndExpectNothingRemoved(drive + L"\\others");
    EXPECT_EQ((std::vector<std::wstring>{L"entry only", L"keep me.txt", L"others", L"uninstall.exe"}),
              ListDirectory(drive));
}

TEST_F(MisplacedUninstallerTest, LinkedDirectoryAndGroupAreNotFollowed)
{
    // The installation directory and the Start-menu group are links to folders of others.
    if (!WineLinks::Available())
        GTEST_SKIP() << "needs Wine's Unix links, which it reports as reparse points";
    ASSERT_TRUE(scratch.Make(L"target"));
    ASSERT_TRUE(links.Link(scratch.At(L"Harrowmere linked"), scratch.At(L"target")));
    ASSERT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              GetFileAttributesW(scratch.At(L"Harrowmere linked").c_str()));
    ASSERT_NO_FATAL_FAILURE(Place(scratch.At(L"Harrowmere linked")));
    RemoveTestTree(FakeInstallation::Group());  // made by Place's installation
    ASSERT_FALSE(Exists(FakeInstallation::Group()));
    ASSERT_TRUE(links.Link(FakeInstallation::Group(), scratch.At(L"others")));
    RunAndExpectNothingRemoved();
    EXPECT_TRUE(Exists(scratch.At(L"target\\uninstall.exe")));
}

// An installation in a directory of an unusual name, uninstalled without a client.
class UninstallProgramNames : public ::testing::Test {
protected:
    void SetUp() override { HM_SKIP_UNLESS_DISPOSABLE_MACHINE(); }
    void RunAt(const std::wstring& directory)
    {
        installation.reset(new FakeInstallation(directory));
        ASSERT_TRUE(installation->Create()) << installation->Problem();
        run = installation->RunUninstaller(IDNO);
        ASSERT_TRUE(run.ended);
        EXPECT_FALSE(installation->EntryExists());
        EXPECT_EQ(std::vector<std::wstring>{L"uninstall.exe"}, ListDirectory(directory));
    }
    std::unique_ptr<FakeInstallation> installation;
    FakeInstallation::Run run;
};

TEST_F(UninstallProgramNames, PercentStaysLiteralAndAChineseNameIsNamedExactlyOrLeftAlone)
{
    // "%TEMP%" in a folder's name must not become the temporary folder, in the batch or on the
    // interpreter's command line (the batch's own path holds no '%').
    ASSERT_NO_FATAL_FAILURE(RunAt(L"C:\\Games\\Harrowmere%TEMP%"));
    EXPECT_EQ(FakeInstallation::ExpectedBatch("C:\\Games\\Harrowmere%%TEMP%%"), run.batch);
    EXPECT_EQ(std::wstring::npos, run.batchPath.find(L'%')) << Utf8(run.batchPath);

    // A Chinese name is named exactly or the directory is left alone.
    ASSERT_NO_FATAL_FAILURE(RunAt(L"C:\\Games\\网页版安装"));
    const std::string& batch = run.batch;
    if (batch.empty())
        return;  // no byte form names exactly it: the directory stays
    // Line 4 names the directory; read it as the command interpreter will.
    const std::string prefix = "DEL /F /A /Q \\\\?\\\"";
    const size_t start = batch.find(prefix);
    ASSERT_NE(std::string::npos, start);
    const size_t end = batch.find('"', start + prefix.size());
    const std::string named = batch.substr(start + prefix.size(), end - start - prefix.size());
    EXPECT_EQ(FakeInstallation::ExpectedBatch(named), batch);
    wchar_t decoded[MAX_PATH] = {};
    ASSERT_GT(MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, named.c_str(), -1, decoded, MAX_PATH), 0);
    EXPECT_TRUE(PathIdentity::Same(decoded, installation->Directory())) << named;
}

TEST(UninstallFlowPaths, DirectoryIsCutAtTheLastBackslashAndPathsThatWouldBeCutAreNotUsed)
{
    EXPECT_EQ(L"C:\\Games\\X", UninstallFlow::InstallDirectoryOf(L"C:\\Games\\X\\uninstall.exe"));
    EXPECT_EQ(L"C:", UninstallFlow::InstallDirectoryOf(L"C:\\uninstall.exe"));
    EXPECT_EQ(L"", UninstallFlow::InstallDirectoryOf(L"uninstall.exe"));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(UninstallFlow::InstallDirectoryOf(self), UninstallFlow::OwnDirectory());
    // A group path cut at 259 characters would name some other folder of the Start menu.
    EXPECT_EQ(L"C:\\Desk\\Harrowmere网页版.lnk", UninstallFlow::JoinBounded(L"C:\\Desk", kProductTitle, L".lnk"));
    const std::wstring deep = L"C:\\" + std::wstring(245, L'd');
    EXPECT_EQ(deep + L"\\Harrowmere", UninstallFlow::JoinBounded(deep, L"Harrowmere", L""));
    EXPECT_EQ(L"", UninstallFlow::JoinBounded(deep, L"Harrowmere网页版", L".lnk"));
}

TEST(MachineStateGuard, AnyOtherPrefixIsRefusedUnlessDeclaredDisposable)
{
    HM_SKIP_UNLESS_DISPOSABLE_MACHINE();  // this prefix, or a machine declared disposable
    wchar_t prefix[MAX_PATH] = {}, disposable[8] = {};
    GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    const bool declared = GetEnvironmentVariableW(L"HM_TESTS_MAY_CHANGE_THIS_MACHINE", disposable, 8) > 0;
    SetEnvironmentVariableW(L"HM_TESTS_MAY_CHANGE_THIS_MACHINE", nullptr);
    SetEnvironmentVariableW(L"WINEPREFIX", L"/nonexistent/wineprefix");
    const std::string elsewhere = MachineStateGuard::WhyNot();
    SetEnvironmentVariableW(L"HM_TESTS_MAY_CHANGE_THIS_MACHINE", L"1");
    const std::string declaredDisposable = MachineStateGuard::WhyNot();
    SetEnvironmentVariableW(L"WINEPREFIX", prefix[0] ? prefix : nullptr);
    SetEnvironmentVariableW(L"HM_TESTS_MAY_CHANGE_THIS_MACHINE", declared ? disposable : nullptr);
    EXPECT_NE(std::string::npos, elsewhere.find("HM_TESTS_MAY_CHANGE_THIS_MACHINE=1")) << elsewhere;
    EXPECT_EQ("", declaredDisposable);
}

}  // namespace
