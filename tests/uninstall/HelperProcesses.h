#pragma once
#include <windows.h>

#include "ChildProcesses.h"
#include "TestSupport.h"

#include <string>
#include <vector>

// Processes a test starts, ended with it.
using HelperProcesses = testing_support::ChildProcesses;

using testing_support::WindowsPath;

// The top-level window of class className owned by processId, or null.
HWND FindWindowOf(DWORD processId, const wchar_t* className);

// Whether the process has ended.
bool HasEnded(HANDLE process);

// Whole-file helpers.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// Names of a directory's entries (no "." or ".."), sorted.
std::vector<std::wstring> ListDirectory(const std::wstring& directory);
// Removes a test tree whatever its attributes; only trees under C:\Games or named after the
// product are touched.
void RemoveTestTree(const std::wstring& directory);

// UTF-8 for readable failure messages.
std::string Utf8(const std::wstring& text);
