#include "ClientShutdown.h"

#include <strsafe.h>

const wchar_t kClientWindowClass[] = L"pelvarbrekmoor";

BOOL CALLBACK MatchWindowCriteria(HWND window, LPARAM lParam)
{
    WindowCriteria* criteria = reinterpret_cast<WindowCriteria*>(lParam);
    wchar_t text[256] = {};
    wchar_t className[256] = {};
    GetWindowTextW(window, text, 256);
    GetClassNameW(window, className, 256);
    if (lstrlenW(criteria->wantedTitle) > 0 && lstrcmpW(criteria->wantedTitle, text) != 0)
        return TRUE;
    if (lstrlenW(criteria->wantedClass) > 0 && lstrcmpW(criteria->wantedClass, className) != 0)
        return TRUE;
    if (criteria->processId != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != criteria->processId)
            return TRUE;
    }
    criteria->result = window;
    return FALSE;
}

HWND FindClientWindow()
{
    WindowCriteria criteria;
    ZeroMemory(&criteria, sizeof criteria);
    StringCchPrintfW(criteria.wantedTitle, 256, L"%s", L"");
    StringCchPrintfW(criteria.wantedClass, 256, L"%s", kClientWindowClass);
    EnumWindows(MatchWindowCriteria, reinterpret_cast<LPARAM>(&criteria));
    return criteria.result;
}

namespace {

// Once enabled the privilege stays for the rest of the run; nothing is restored.
void EnableDebugPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

}  // namespace

bool KillProcess(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId);
    if (!process) {
        EnableDebugPrivilege();
        process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId);
        if (!process)
            return false;
    }
    // An id can outlive its process while others hold handles to it; ending what has already
    // ended is no success (Windows refuses it, Wine answers TRUE).
    const bool terminated = WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
                            TerminateProcess(process, 0) != FALSE;
    CloseHandle(process);
    return terminated;
}
