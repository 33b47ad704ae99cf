#include "HelperProcesses.h"

#include "ClientShutdown.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>
#include <shlobj.h>

HWND FindWindowOf(DWORD processId, const wchar_t* className)
{
    return testing_support::TopLevelWindow(className, processId, false);
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
