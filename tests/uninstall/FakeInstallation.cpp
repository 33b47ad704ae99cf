#include "FakeInstallation.h"

#include "HelperProcesses.h"
#include "RemovalSteps.h"

#include <shlobj.h>

namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

void CreateParents(const std::wstring& path)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

}  // namespace

FakeInstallation::FakeInstallation(const std::wstring& directory) : directory_(directory) {}

FakeInstallation::~FakeInstallation()
{
    RemoveTestTree(directory_);
    RemoveTestTree(Group());
    DeleteFileW(Shortcut().c_str());
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, EntryKey().c_str(), KEY_WOW64_32KEY, 0);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, Uninstaller().c_str());
        RegCloseKey(key);
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

bool FakeInstallation::Create()
{
    RemoveTestTree(directory_);
    CreateParents(directory_);
    CreateDirectoryW((directory_ + L"\\data").c_str(), nullptr);
    CreateDirectoryW((directory_ + L"\\data\\maps").c_str(), nullptr);
    bool ok = CopyFileW(WindowsPath(HM_UNINSTALL_EXE).c_str(), Uninstaller().c_str(), FALSE) != FALSE;
    ok = ok && WriteBytes(directory_ + L"\\Harrowmere.exe", "MZ not really");
    ok = ok && WriteBytes(directory_ + L"\\Config.ini", "[Common]\r\n");
    ok = ok && WriteBytes(directory_ + L"\\data\\maps\\start.map", "map");
    ok = ok && WriteBytes(directory_ + L"\\data\\hidden.cfg", "h");
    SetFileAttributesW((directory_ + L"\\data\\hidden.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN);

    CreateParents(ShellFolder(CSIDL_DESKTOPDIRECTORY));
    ok = ok && WriteBytes(Shortcut(), "shortcut");
    RemoveTestTree(Group());
    CreateParents(Group());
    ok = ok && WriteBytes(Group() + L"\\" + kProductTitle + L".lnk", "client");
    ok = ok && WriteBytes(Group() + L"\\uninstall.lnk", "uninstaller");

    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, EntryKey().c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring command = L"\"" + Uninstaller() + L"\"";
    RegSetValueExW(key, L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegDeleteValueW(key, Uninstaller().c_str());
    RegCloseKey(key);
    return ok;
}

bool FakeInstallation::EntryExists() const
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, EntryKey().c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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
                                                     DWORD timeoutMs)
{
    Run run;
    HelperProcesses processes;
    DWORD processId = 0;
    HANDLE process = processes.Start(program, L"", &processId);
    if (!process)
        return run;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) {
            run.ended = true;
            GetExitCodeProcess(process, &run.exitCode);
            break;
        }
        HWND box = FindWindowOf(processId, L"#32770");
        if (!box || run.asked)
            continue;
        // Let the box finish building its controls before reading them.
        if (!GetDlgItem(box, IDYES) || !GetDlgItem(box, 0xFFFF))
            continue;
        run.asked = true;
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        run.text = text;
        wchar_t caption[256] = {};
        GetWindowTextW(box, caption, 256);
        run.caption = caption;
        run.yesAndNoOnly = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK) &&
                           !GetDlgItem(box, IDCANCEL);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
    return run;
}

std::string FakeInstallation::ExpectedBatch(const std::string& ansiDirectory)
{
    std::string text = "@echo off\r\nchoice / t 3 / d y / n > nul\r\n@echo off\r\n";
    text += "DEL /F /A /Q \\\\?\\\"" + ansiDirectory + "\"\r\n";
    text += "RD /S /Q \\\\?\\\"" + ansiDirectory + "\"";
    text += '\0';
    return text;
}
