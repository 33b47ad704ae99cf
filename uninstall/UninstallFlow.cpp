#include "UninstallFlow.h"

#include "ClientShutdown.h"
#include "DirectoryGuard.h"
#include "ExactAnsiPath.h"
#include "RemovalSteps.h"

#include <shellapi.h>
#include <shlobj.h>
#include <strsafe.h>

std::wstring UninstallFlow::Question()
{
    wchar_t text[256] = {};
    StringCchPrintfW(text, 256, L"<%s>正在运行,是否关闭<%s>？", kProductTitle, kProductTitle);
    return text;
}

int UninstallFlow::EndRunningClient(int maxRounds)
{
    int rounds = 0;
    for (; rounds < maxRounds; ++rounds) {
        HWND window = FindClientWindow();
        if (!window)
            break;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        KillProcess(processId, window);
        Sleep(500);
    }
    return rounds;
}

std::wstring UninstallFlow::InstallDirectoryOf(const std::wstring& modulePath)
{
    const size_t slash = modulePath.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return std::wstring();
    return modulePath.substr(0, slash);
}

std::wstring UninstallFlow::OwnDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return InstallDirectoryOf(path);
}

bool UninstallFlow::ShellFolder(int csidl, std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    path.clear();
    if (!SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE) || buffer[0] == L'\0')
        return false;
    path = buffer;
    return true;
}

std::wstring UninstallFlow::JoinBounded(const std::wstring& directory, const std::wstring& name,
                                        const wchar_t* suffix)
{
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(StringCchPrintfW(buffer, MAX_PATH, L"%s\\%s%s", directory.c_str(), name.c_str(),
                                suffix)))
        return std::wstring();
    return buffer;
}

int UninstallFlow::Run()
{
    SetCompatibilityFlag();

    if (FindClientWindow()) {
        const std::wstring question = Question();
        if (MessageBoxW(nullptr, question.c_str(), kProductTitle, MB_YESNO | MB_ICONINFORMATION) ==
            IDNO)
            return 0;
        EndRunningClient();
        Sleep(1000);
    }

    RemoveUninstallEntry(kProductTitle);

    const std::wstring installDirectory = OwnDirectory();
    // Each path is judged exactly as it is then used: no link, nothing that resolves elsewhere,
    // no system or user folder.
    const DirectoryGuard guard;

    std::wstring desktop;
    if (ShellFolder(CSIDL_DESKTOPDIRECTORY, desktop)) {
        const std::wstring shortcut = JoinBounded(desktop, kProductTitle, L".lnk");
        if (!shortcut.empty()) {
            ShellExecuteW(nullptr, L"taskbarunpin", shortcut.c_str(), nullptr, nullptr, SW_SHOW);
            if (guard.MayDeleteFile(shortcut))
                DeleteFileW(shortcut.c_str());
        }
    }

    std::wstring programs;
    if (ShellFolder(CSIDL_PROGRAMS, programs)) {
        const std::wstring group = JoinBounded(programs, kProductTitle, L"");
        if (!group.empty() && guard.MayRemove(group))
            DeleteTree(group.c_str());
    }

    // Where we lie is only a hint: a copy started from a drive root, a system or user folder
    // must not take that folder with it.
    if (installDirectory.empty() || !guard.MayRemove(installDirectory))
        return 0;

    DeleteTree(installDirectory.c_str());
    Sleep(1000);

    // The batch names the directory by bytes that may differ from the string approved above
    // (a short name): they are approved in their own right before they are written.
    std::string ansiDirectory;
    if (ExactAnsiPath::Find(installDirectory, ansiDirectory) &&
        guard.MayRemove(ExactAnsiPath::Decode(ansiDirectory)))
        WriteCleanupBatch(ansiDirectory.c_str());
    return 0;
}
