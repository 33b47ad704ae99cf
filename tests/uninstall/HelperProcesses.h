#pragma once
#include <windows.h>

#include "ChildProcesses.h"
#include "TestSupport.h"

#include <string>
#include <vector>

// Processes a test starts, ended with it.
using HelperProcesses = testing_support::ChildProcesses;

using testing_support::Ends;
using testing_support::Exists;
using testing_support::ExitCodeOf;
using testing_support::ListDirectory;
using testing_support::ReadBytes;
using testing_support::RemoveTestTree;
using testing_support::TempDirectory;
using testing_support::UnderWine;
using testing_support::WindowsPath;
using testing_support::WriteBytes;

// The top-level window of class className owned by processId, or null.
HWND FindWindowOf(DWORD processId, const wchar_t* className);
// Starts the stand-in client (program, a copy of it, when given) with the arguments through
// processes, and waits for its first window; the process, or null.
HANDLE StartFakeClient(HelperProcesses& processes, DWORD& processId,
                       const std::wstring& arguments = L"window 1", const std::wstring& program = L"");

// The shell folder of csidl.
std::wstring ShellFolder(int csidl);
// Whether the registry key can be opened for reading (view: KEY_WOW64_32KEY, KEY_WOW64_64KEY).
bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);
// The highest key of path below root that is missing (what making path would create, and so
// all there is to remove afterwards); empty when the whole path is there.
std::wstring MissingKeyRoot(HKEY root, const std::wstring& path);

// UTF-8 for readable failure messages.
std::string Utf8(const std::wstring& text);
