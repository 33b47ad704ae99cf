#include "FakeInstallation.h"

#include "HelperProcesses.h"
#include "RemovalSteps.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

namespace {

// The clean-up folders runs leave in the temporary folder.
std::vector<std::wstring> BatchFolders()
{
    std::vector<std::wstring> folders;
    for (const std::wstring& name : ListDirectory(TempDirectory()))
        if (name.compare(0, 21, L"Harrowmere-uninstall-") == 0)
            folders.push_back(TempDirectory() + name);
    return folders;
}

}  // namespace

FakeInstallation::FakeInstallation(const std::wstring& directory) : directory(directory) {}

FakeInstallation::~FakeInstallation()
{
    if (!createdShortcut.empty())
        DeleteFileW(createdShortcut.c_str());
    for (auto made = createdDirectories.rbegin(); made != createdDirectories.rend(); ++made) {
        RemoveTestTree(*made);
        RemoveDirectoryW(made->c_str());  // a parent we made, once it is empty again
    }
    if (createdEntry)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, EntryKey().c_str(), KEY_WOW64_32KEY, 0);
    if (!createdPersistedRoot.empty()) {
        RegDeleteTreeW(HKEY_CURRENT_USER, createdPersistedRoot.c_str());
    } else {
        UniqueRegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
            RegDeleteValueW(key.Get(), Uninstaller().c_str());  // named by our own uninstaller
    }
}

std::wstring FakeInstallation::Shortcut()
{
    return ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kProductTitle + L".lnk";
}

std::wstring FakeInstallation::Group()
{
    return ShellFolder(CSIDL_PROGRAMS) + L"\\" + kProductTitle;
}

std::wstring FakeInstallation::EntryKey()
{
    return std::wstring(kUninstallKey) + L"\\" + kProductTitle;
}

bool FakeInstallation::MakeDirectories(const std::wstring& path, std::vector<std::wstring>& created)
{
    for (size_t slash = path.find(L'\\', 3); ; slash = path.find(L'\\', slash + 1)) {
        const std::wstring step = path.substr(0, slash);
        if (CreateDirectoryW(step.c_str(), nullptr))
            created.push_back(step);
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (slash == std::wstring::npos)
            return true;
    }
}

bool FakeInstallation::Fail(const std::string& what)
{
    problem = what;
    return false;
}

bool FakeInstallation::Create()
{
    // Nothing that is there already is ours to overwrite or, later, to remove.
    if (AnyPartExists(directory))
        return Fail("an installation directory, shortcut, group or Uninstall entry of " + Utf8(directory) +
                    " is there already, left over from elsewhere");
    if (!MakeDirectories(directory, createdDirectories) || !MakeDirectories(Group(), createdDirectories) ||
        !MakeDirectories(ShellFolder(CSIDL_DESKTOPDIRECTORY), createdDirectories))
        return Fail("folders could not be made");
    CreateDirectoryW((directory + L"\\data").c_str(), nullptr);
    CreateDirectoryW((directory + L"\\data\\maps").c_str(), nullptr);
    bool ok = CopyFileW(WindowsPath(HM_UNINSTALL_EXE).c_str(), Uninstaller().c_str(), TRUE) != FALSE;
    ok = ok && WriteBytes(directory + L"\\Harrowmere.exe", "MZ not really");
    ok = ok && WriteBytes(directory + L"\\Config.ini", "[Common]\r\n");
    ok = ok && WriteBytes(directory + L"\\data\\maps\\start.map", "map");
    ok = ok && WriteBytes(directory + L"\\data\\hidden.cfg", "h");
    SetFileAttributesW((directory + L"\\data\\hidden.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ok = ok && WriteBytes(Group() + L"\\" + kProductTitle + L".lnk", "client");
    ok = ok && WriteBytes(Group() + L"\\uninstall.lnk", "uninstaller");
    if (!ok || !WriteBytes(Shortcut(), "shortcut"))
        return Fail("files could not be written");
    createdShortcut = Shortcut();

    UniqueRegKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, EntryKey().c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.Put(), &disposition) != ERROR_SUCCESS)
        return Fail("the Uninstall entry could not be made");
    createdEntry = disposition == REG_CREATED_NEW_KEY;
    const std::wstring command = L"\"" + Uninstaller() + L"\"";
    RegSetValueExW(key.Get(), L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));

    // The uninstaller only opens the Persisted key: make what is missing of its path.
    createdPersistedRoot = MissingKeyRoot(HKEY_CURRENT_USER, kPersistedKey);
    return RegCreateKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           key.Put(), nullptr) == ERROR_SUCCESS ||
           Fail("the Persisted key could not be made");
}

bool FakeInstallation::EntryExists(REGSAM view)
{
    return KeyExists(HKEY_LOCAL_MACHINE, EntryKey(), view);
}

bool FakeInstallation::AnyPartExists(const std::wstring& directory)
{
    return Exists(directory) || Exists(Shortcut()) || Exists(Group()) || EntryExists();
}

DWORD FakeInstallation::CompatibilityValue() const
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kPersistedKey, Uninstaller().c_str(), RRF_RT_ANY, &type, &value,
                     &size) != ERROR_SUCCESS || type != REG_DWORD)
        return 0;
    return value;
}

FakeInstallation::Run FakeInstallation::RunUninstaller(int answer, DWORD timeoutMs) const
{
    return RunAndAnswer(Uninstaller(), answer, timeoutMs);
}

FakeInstallation::Run FakeInstallation::RunAndAnswer(const std::wstring& program, int answer,
                                                     DWORD timeoutMs, const std::wstring& currentDirectory)
{
    Run run;
    const std::vector<std::wstring> foldersBefore = BatchFolders();
    HelperProcesses processes;
    DWORD processId = 0;
    HANDLE process = processes.Start(program, L"", &processId, currentDirectory);
    if (!process)
        return run;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (Ends(process, 50)) {
            run.ended = true;
            run.exitCode = ExitCodeOf(process);
            break;
        }
        HWND box = FindWindowOf(processId, L"#32770");
        // Let the box finish building its controls before reading them.
        if (!box || run.asked || !GetDlgItem(box, IDYES) || !GetDlgItem(box, 0xFFFF))
            continue;
        run.asked = true;
        // Another process's control: its text comes only through WM_GETTEXT.
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        run.text = text;
        run.caption = testing_support::WindowText(box);
        run.yesAndNoOnly = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK) &&
                           !GetDlgItem(box, IDCANCEL);
        testing_support::AnswerBox(box, answer);
    }
    // The folders that appeared are this run's: read the batch, then take them away again.
    for (const std::wstring& folder : BatchFolders()) {
        if (std::find(foldersBefore.begin(), foldersBefore.end(), folder) != foldersBefore.end())
            continue;
        run.batchPath = folder + L"\\" + kCleanupBatchName;
        run.batch = ReadBytes(run.batchPath);
        RemoveTestTree(folder);
    }
    return run;
}

std::string FakeInstallation::ExpectedBatch(const std::string& ansiDirectory)
{
    std::string text = "@echo off\r\nchoice /t 3 /d y /n > nul\r\n@echo off\r\n";
    text += "DEL /F /A /Q \\\\?\\\"" + ansiDirectory + "\"\r\n";
    text += "RD /S /Q \\\\?\\\"" + ansiDirectory + "\"\r\n";
    text += "RD /S /Q \"%~dp0\"";
    text += '\0';
    return text;
}

void ExpectUninstalled(const FakeInstallation::Run& run, const std::wstring& directory)
{
    ASSERT_TRUE(run.ended) << "the uninstaller still runs";
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(FakeInstallation::EntryExists());
    EXPECT_FALSE(Exists(FakeInstallation::Shortcut()));
    EXPECT_FALSE(Exists(FakeInstallation::Group()));
    EXPECT_EQ(std::vector<std::wstring>{L"uninstall.exe"}, ListDirectory(directory));
    EXPECT_EQ(FakeInstallation::ExpectedBatch(Utf8(directory)), run.batch);
    const std::wstring folder = TempDirectory() + L"Harrowmere-uninstall-";
    EXPECT_EQ(folder, run.batchPath.substr(0, folder.size())) << Utf8(run.batchPath);
}
