#include "RemovalSteps.h"

#include "PrivateTempFolder.h"
#include "UniqueHandle.h"

const wchar_t kProductTitle[] = L"Harrowmere网页版";
const wchar_t kPersistedKey[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kCleanupBatchName[] = L"pelvar_uninstall.bat";

namespace {

const size_t kBatchBufferSize = 1024;

std::string EscapePercent(const char* text)
{
    std::string escaped;
    for (const char* p = text; *p; ++p) {
        escaped += *p;
        if (*p == '%')
            escaped += '%';
    }
    return escaped;
}

std::wstring SystemFolder()
{
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(system, length) : std::wstring();
}

}  // namespace

bool SetCompatibilityFlag()
{
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_READ | KEY_WRITE, key.Put()) !=
        ERROR_SUCCESS)
        return false;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const DWORD one = 1;
    return RegSetValueExW(key.Get(), path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                          sizeof one) == ERROR_SUCCESS;
}

bool RemoveUninstallEntry(const wchar_t* title)
{
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, kUninstallKey, MAX_PATH);
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_32KEY,
                      key.Put()) == ERROR_SUCCESS)
        RegDeleteKeyW(key.Get(), title);
    return true;
}

void DeleteTree(const wchar_t* directory)
{
    // The directory handed in is never a link to somewhere else either.
    const DWORD attributes = GetFileAttributesW(directory);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    const std::wstring base(directory);
    WIN32_FIND_DATAW entry = {};
    {
        const UniqueFindHandle search(FindFirstFileW((base + L"\\*.*").c_str(), &entry));
        if (!search)
            return;
        do {
            const std::wstring child = base + L"\\" + entry.cFileName;
            if (entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
                if (lstrcmpW(entry.cFileName, L".") != 0 && lstrcmpW(entry.cFileName, L"..") != 0)
                    DeleteTree(child.c_str());
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.Get(), &entry));
    }
    RemoveDirectoryW(directory);
}

std::string BuildCleanupBatch(const char* ansiDirectory)
{
    const std::string directory = EscapePercent(ansiDirectory);
    std::string text = "@echo off\r\nchoice /t 3 /d y /n > nul\r\n";
    text += "@echo off\r\n";
    text += "DEL /F /A /Q \\\\?\\\"" + directory + "\"\r\n";
    text += "RD /S /Q \\\\?\\\"" + directory + "\"\r\n";
    // The batch lives alone in a folder made for it; the interpreter knows its full path.
    text += "RD /S /Q \"%~dp0\"";
    if (text.size() + 1 > kBatchBufferSize)
        return std::string();
    text += '\0';
    return text;
}

std::wstring CleanupCommandLine(const std::wstring& batchPath)
{
    // The interpreter expands "%name%" on its own command line, quoted or not: a path with a
    // '%' could name another file.
    if (batchPath.empty() || batchPath.find_first_of(L"%\"") != std::wstring::npos)
        return std::wstring();
    const std::wstring system = SystemFolder();
    if (system.empty())
        return std::wstring();
    // No AutoRun commands, no delayed expansion, whatever the registry says.
    return L"\"" + system + L"\\cmd.exe\" /d /v:off /c \"\"" + batchPath + L"\"\"";
}

std::wstring WriteCleanupBatch(const char* ansiDirectory)
{
    const std::string text = BuildCleanupBatch(ansiDirectory);
    if (text.empty())
        return std::wstring();
    const std::wstring folder = PrivateTempFolder::Create(L"Harrowmere-uninstall");
    if (folder.empty())
        return std::wstring();
    const std::wstring path = folder + L"\\" + kCleanupBatchName;
    std::wstring commandLine = CleanupCommandLine(path);
    if (commandLine.empty()) {
        RemoveDirectoryW(folder.c_str());
        return std::wstring();
    }
    {
        // CREATE_NEW: a file or link that is already there is never written through.
        const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                                nullptr) || written != text.size())
            return std::wstring();  // a part-written batch is never started
    }
    const std::wstring system = SystemFolder();
    const std::wstring interpreter = system + L"\\cmd.exe";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started = {};
    // Started from the system folder, so that the batch's own folder is no one's current one.
    if (CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       system.c_str(), &startup, &started)) {
        UniqueKernelHandle process(started.hProcess);
        UniqueKernelHandle thread(started.hThread);
    }
    return path;
}
