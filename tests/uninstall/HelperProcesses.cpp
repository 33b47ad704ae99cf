#include "HelperProcesses.h"

#include "ClientShutdown.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

HWND FindWindowOf(DWORD processId, const wchar_t* className)
{
    const std::vector<HWND> windows = testing_support::TopLevelWindows(className, processId, false);
    return windows.empty() ? nullptr : windows.front();
}

HANDLE StartFakeClient(HelperProcesses& processes, DWORD& processId, const std::wstring& arguments,
                       const std::wstring& program)
{
    HANDLE process = processes.Start(program.empty() ? WindowsPath(HM_FAKE_CLIENT_EXE) : program,
                                     arguments, &processId);
    EXPECT_NE(nullptr, process);
    const DWORD id = processId;
    EXPECT_TRUE(testing_support::WaitUntil(
        [id] { return FindWindowOf(id, kClientWindowClass) != nullptr; }, 15000));
    return process;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ReadBytes(const std::wstring& path)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ListDirectory(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry = {};
    const UniqueFindHandle search(FindFirstFileW((directory + L"\\*").c_str(), &entry));
    for (bool more = bool(search); more; more = FindNextFileW(search.Get(), &entry)) {
        if (lstrcmpW(entry.cFileName, L".") != 0 && lstrcmpW(entry.cFileName, L"..") != 0)
            names.push_back(entry.cFileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// Test trees live under C:\Games or carry the product's name; anything else (a shell folder,
// a drive, Wine's links to the Unix home) is never removed by a test, whatever it was given.
bool IsTestTree(const std::wstring& directory)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(directory.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring path(full);
    if (StartsWithNoCase(path, L"C:\\Games\\") && path.size() > 9)
        return true;
    const size_t slash = path.find_last_of(L'\\');
    std::wstring last = slash == std::wstring::npos ? path : path.substr(slash + 1);
    CharUpperBuffW(&last[0], static_cast<DWORD>(last.size()));
    return last.find(L"HARROWMERE") != std::wstring::npos && path.compare(0, 2, L"Z:") != 0 &&
           path.compare(0, 2, L"z:") != 0;
}

void RemoveTree(const std::wstring& directory)
{
    // A link is not ours to descend: what it leads to was made by someone else.
    const DWORD top = GetFileAttributesW(directory.c_str());
    if (top == INVALID_FILE_ATTRIBUTES || (top & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    SetFileAttributesW(directory.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    for (const std::wstring& name : ListDirectory(directory)) {
        const std::wstring child = directory + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(child.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveTree(child);
        } else {
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(child.c_str());
        }
    }
    RemoveDirectoryW(directory.c_str());
}

}  // namespace

void RemoveTestTree(const std::wstring& directory)
{
    if (IsTestTree(directory))
        RemoveTree(directory);
}

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) << csidl;
    return path;
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view)
{
    UniqueRegKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS;
}

std::wstring MissingKeyRoot(HKEY root, const std::wstring& path)
{
    for (size_t slash = path.find(L'\\');; slash = path.find(L'\\', slash + 1)) {
        const std::wstring step = path.substr(0, slash);
        if (!KeyExists(root, step))
            return step;
        if (slash == std::wstring::npos)
            return std::wstring();
    }
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length,
                        nullptr, nullptr);
    return result;
}
