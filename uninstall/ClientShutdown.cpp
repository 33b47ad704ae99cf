#include "ClientShutdown.h"

#include "UniqueHandle.h"

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
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Put()))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

bool KillProcess(DWORD processId, HWND window)
{
    UniqueKernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId));
    if (!process) {
        EnableDebugPrivilege();
        process.Reset(OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId));
        if (!process)
            return false;
    }
    // The id was read from the window before the process was opened: the process may have ended
    // since and its id gone to another one. Held open now, the id cannot change hands again, so
    // the window still being there and still that process's proves we hold the right process.
    if (window) {
        DWORD owner = 0;
        if (!IsWindow(window) || !GetWindowThreadProcessId(window, &owner) || owner != processId)
            return false;
    }
    // An id can outlive its process while others hold handles to it; ending what has already
    // ended is no success (Windows refuses it, Wine answers TRUE).
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
           TerminateProcess(process.Get(), 0) != FALSE;
}
