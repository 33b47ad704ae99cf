// Harrowmere-setup /S installs, the client runs from the installed place, and the installed
// uninstall.exe ends it and takes everything away again.
#include "ClientShutdown.h"
#include "FakeInstallation.h"
#include "HelperProcesses.h"
#include "MachineStateGuard.h"
#include "RemovalSteps.h"
#include "ScratchFolder.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cwchar>

using testing_support::WaitUntil;

namespace {

// One value of our entry in the 32-bit view, as text (a number in decimal) and its type;
// "<missing>" when it cannot be read.
std::wstring EntryValue(const wchar_t* name, DWORD& type)
{
    union {
        wchar_t text[1024];
        DWORD number;
    } value = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    type = REG_NONE;
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                      key.Put()) != ERROR_SUCCESS ||
        RegGetValueW(key.Get(), nullptr, name, RRF_RT_ANY | RRF_NOEXPAND, &type, &value, &size) !=
            ERROR_SUCCESS)
        return L"<missing>";
    return type == REG_DWORD ? std::to_wstring(value.number) : std::wstring(value.text);
}

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifndef HM_SETUP_EXE
        GTEST_SKIP() << "makensis was not found when the build was configured: no setup to test";
#else
        HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
        ASSERT_EQ(nullptr, FindClientWindow()) << "a client window is left over from elsewhere";
        // What the setup makes may not be there before: only then is it ours to remove after.
        ASSERT_FALSE(FakeInstallation::AnyPartExists(installDirectory))
            << "an installation is left over from elsewhere";
        made = {installDirectory, FakeInstallation::Group()};
        madeShortcut = FakeInstallation::Shortcut();
#endif
    }
    void TearDown() override
    {
        helpers.EndAll();
        // What the setup made: recorded as absent before, or where the test sent the setup.
        if (madeShortcut.empty())
            return;
        made.push_back(installDirectory);
        for (const std::wstring& directory : made)
            RemoveTestTree(directory);
        DeleteFileW(madeShortcut.c_str());
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, FakeInstallation::EntryKey().c_str(), KEY_WOW64_32KEY, 0);
    }

    // Runs the setup silently; its exit code.
    DWORD RunSetup(const std::wstring& arguments)
    {
        DWORD exitCode = STILL_ACTIVE;
#ifdef HM_SETUP_EXE
        HANDLE setup = helpers.Start(WindowsPath(HM_SETUP_EXE), arguments);
        EXPECT_NE(nullptr, setup);
        if (setup && Ends(setup, 120000))
            exitCode = ExitCodeOf(setup);
#endif
        return exitCode;
    }
    void Install() { ASSERT_EQ(0u, RunSetup(L"/S")); }

    void ExpectInstalled()
    {
        EXPECT_EQ(std::vector<std::wstring>({L"Harrowmere.exe", L"uninstall.exe"}),
                  ListDirectory(installDirectory));
        EXPECT_EQ(ReadBytes(WindowsPath(HM_UNINSTALL_EXE)), ReadBytes(Uninstaller()));
        EXPECT_TRUE(Exists(FakeInstallation::Shortcut()));
        EXPECT_EQ(std::vector<std::wstring>({L"Harrowmere网页版.lnk", L"卸载Harrowmere网页版.lnk"}),
                  ListDirectory(FakeInstallation::Group()));
        // The entry lives where the 32-bit uninstaller looks, and only there.
        EXPECT_TRUE(FakeInstallation::EntryExists());
        EXPECT_FALSE(FakeInstallation::EntryExists(KEY_WOW64_64KEY));
        // KiB of what was installed.
        ULONGLONG bytes = 0;
        for (const std::wstring& name : ListDirectory(installDirectory)) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            GetFileAttributesExW((installDirectory + L"\\" + name).c_str(), GetFileExInfoStandard, &data);
            bytes += (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
        const struct {
            const wchar_t* name;
            std::wstring value;
            DWORD type;
        } values[] = {
            {L"DisplayName", L"Harrowmere网页版", REG_SZ},
            {L"UninstallString", L"\"" + Uninstaller() + L"\"", REG_SZ},
            {L"DisplayIcon", installDirectory + L"\\Harrowmere.exe,0", REG_SZ},
            {L"DisplayVersion", L"1.0.0", REG_SZ},
            {L"Publisher", L"Harrowmere", REG_SZ},
            {L"NoModify", L"1", REG_DWORD},
            {L"NoRepair", L"1", REG_DWORD},
        };
        DWORD type = 0;
        for (const auto& expected : values) {
            EXPECT_EQ(expected.value, EntryValue(expected.name, type)) << Utf8(expected.name);
            EXPECT_EQ(expected.type, type) << Utf8(expected.name);
        }
        const ULONGLONG size = std::wcstoull(EntryValue(L"EstimatedSize", type).c_str(), nullptr, 10);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
        EXPECT_GE(size, bytes / 1024 - 1);
        EXPECT_LE(size, bytes / 1024 + 2);
    }

    void UninstallEndingClient(HANDLE client)
    {
        const FakeInstallation::Run run = FakeInstallation::RunAndAnswer(Uninstaller(), IDYES);
        EXPECT_TRUE(run.asked);
        EXPECT_EQ(FakeInstallation::kCloseQuestion, run.text);
        EXPECT_TRUE(Ends(client, 0));
        ExpectUninstalled(run, installDirectory);
    }

    std::wstring Uninstaller() const { return installDirectory + L"\\uninstall.exe"; }

    std::wstring installDirectory = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Harrowmere";
    HelperProcesses helpers;
    std::vector<std::wstring> made;
    std::wstring madeShortcut;
};

TEST_F(RoundTripTest, SetupInstallsAndUninstallerRemovesWithoutClient)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    ExpectInstalled();
    const FakeInstallation::Run run = FakeInstallation::RunAndAnswer(Uninstaller(), IDNO);
    EXPECT_FALSE(run.asked);
    ExpectUninstalled(run, installDirectory);
}

TEST_F(RoundTripTest, SetupRefusesADriveRootOrARelativeFolderAndWritesNothing)
{
    // NSIS itself would quietly install into its default folder instead and report success.
    ASSERT_FALSE(Exists(L"C:\\Harrowmere.exe") || Exists(L"C:\\uninstall.exe"));
    for (const wchar_t* arguments : {L"/S /D=C:\\", L"/S /D=Games"}) {
        EXPECT_NE(0u, RunSetup(arguments)) << Utf8(arguments);
        EXPECT_FALSE(Exists(L"C:\\Harrowmere.exe") || Exists(L"C:\\uninstall.exe"));
        EXPECT_FALSE(FakeInstallation::AnyPartExists(installDirectory));
    }
}

TEST_F(RoundTripTest, NonEmptyFolderOfOthersGetsAHarrowmereFolderInside)
{
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Make(L"Tools"));
    ASSERT_TRUE(WriteBytes(scratch.At(L"Tools\\other.exe"), "theirs"));
    ASSERT_EQ(0u, RunSetup(L"/S /D=" + scratch.At(L"Tools")));
    installDirectory = scratch.At(L"Tools\\Harrowmere");
    ExpectInstalled();
    ExpectUninstalled(FakeInstallation::RunAndAnswer(Uninstaller(), IDNO), installDirectory);
    EXPECT_EQ((std::vector<std::wstring>{L"Harrowmere", L"other.exe"}), ListDirectory(scratch.At(L"Tools")));
}

TEST_F(RoundTripTest, UninstallerEndsAClientRunningFromTheInstallation)
{
    // A stand-in client started from the installed place: its file is in use until it ends.
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::wstring client = installDirectory + L"\\FakeClient.exe";
    ASSERT_TRUE(CopyFileW(WindowsPath(HM_FAKE_CLIENT_EXE).c_str(), client.c_str(), FALSE));
    DWORD processId = 0;
    HANDLE process = StartFakeClient(helpers, processId, L"window 1", client);
    ASSERT_FALSE(HasFailure());
    UninstallEndingClient(process);
}

TEST_F(RoundTripTest, UninstallerEndsTheInstalledClient)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    DWORD processId = 0;
    HANDLE process = helpers.Start(installDirectory + L"\\Harrowmere.exe", L"", &processId);
    ASSERT_NE(nullptr, process);
    WaitUntil([&] { return Ends(process, 0) || FindWindowOf(processId, kClientWindowClass) != nullptr; },
              30000);
    if (!FindWindowOf(processId, kClientWindowClass)) {
        ASSERT_TRUE(Ends(process, 0)) << "the installed client shows no game window within 30 s";
        GTEST_SKIP() << "the installed Harrowmere.exe ended without showing its game window "
                        "(the client is still a stub); the stand-in client covers this path";
    }
    UninstallEndingClient(process);
}

}  // namespace
