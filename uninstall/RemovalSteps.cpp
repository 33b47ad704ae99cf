#include "RemovalSteps.h"

#include <shellapi.h>
#include <stdio.h>

const wchar_t kProductTitle[] = L"Harrowmere网页版";
const wchar_t kPersistedKey[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kCleanupBatchName[] = "pelvar_uninstall.bat";

namespace {

const size_t kBatchBufferSize = 1024;
const size_t kAnsiPathSize = 260;

class RegistryKey {
public:
    RegistryKey(HKEY root, const wchar_t* path, REGSAM access)
    {
        if (RegOpenKeyExW(root, path, 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

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

}  // namespace

bool SetCompatibilityFlag()
{
    RegistryKey key(HKEY_CURRENT_USER, kPersistedKey, KEY_READ | KEY_WRITE);
    if (!key.get())
        return false;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const DWORD one = 1;
    return RegSetValueExW(key.get(), path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                          sizeof one) == ERROR_SUCCESS;
}

bool RemoveUninstallEntry(const wchar_t* title)
{
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, kUninstallKey, MAX_PATH);
    RegistryKey key(HKEY_LOCAL_MACHINE, path,
                    KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_WOW64_32KEY);
    if (key.get())
        RegDeleteKeyW(key.get(), title);
    return true;
}

void DeleteTree(const wchar_t* directory)
{
    const std::wstring base(directory);
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((base + L"\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring child = base + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
            if (lstrcmpW(entry.cFileName, L".") != 0 && lstrcmpW(entry.cFileName, L"..") != 0)
                DeleteTree(child.c_str());
        } else {
            DeleteFileW(child.c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    RemoveDirectoryW(directory);
}

std::string BuildCleanupBatch(const char* ansiDirectory)
{
    const std::string directory = EscapePercent(ansiDirectory);
    std::string text = "@echo off\r\nchoice / t 3 / d y / n > nul\r\n";
    text += "@echo off\r\n";
    text += "DEL /F /A /Q \\\\?\\\"" + directory + "\"\r\n";
    text += "RD /S /Q \\\\?\\\"" + directory + "\"";
    if (text.size() + 1 > kBatchBufferSize)
        return std::string();
    text += '\0';
    return text;
}

std::string CleanupBatchPath(const char* ansiDirectory)
{
    std::string path = std::string(ansiDirectory) + "\\" + kCleanupBatchName;
    if (path.size() + 1 > kAnsiPathSize)
        return std::string();
    return path;
}

void WriteCleanupBatch(const char* ansiDirectory)
{
    const std::string path = CleanupBatchPath(ansiDirectory);
    const std::string text = BuildCleanupBatch(ansiDirectory);
    if (path.empty() || text.empty())
        return;
    if (FILE* file = fopen(path.c_str(), "wb")) {
        fwrite(text.data(), 1, text.size(), file);
        fclose(file);
    }
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_HIDE);
}
