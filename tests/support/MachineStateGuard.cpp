#include "MachineStateGuard.h"

#include "TestSupport.h"
#include "UniqueHandle.h"

#include <windows.h>

namespace {

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[32768] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

bool Identify(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const UniqueFileHandle handle(CreateFileW(path.c_str(), 0,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle && GetFileInformationByHandle(handle.Get(), &info);
}

}  // namespace

std::string MachineStateGuard::WhyNot()
{
    if (Variable(L"HM_TESTS_MAY_CHANGE_THIS_MACHINE") == L"1")
        return std::string();
    const char* const advice =
        "; this test changes machine state that is not its own and runs only inside the "
        "project's Wine prefix (scripts/test) or with HM_TESTS_MAY_CHANGE_THIS_MACHINE=1";
    if (!testing_support::UnderWine())
        return std::string("not running under Wine") + advice;
    // The prefix scripts/wine-env.sh made: its marker is there and its drive_c is our C:.
    std::wstring prefix = Variable(L"WINEPREFIX");
    if (prefix.empty() || prefix[0] != L'/')
        return std::string("WINEPREFIX is not set") + advice;
    for (wchar_t& c : prefix)
        if (c == L'/')
            c = L'\\';
    const std::wstring unixPrefix = L"Z:" + prefix;
    BY_HANDLE_FILE_INFORMATION driveC = {}, ours = {};
    if (GetFileAttributesW((unixPrefix + L"\\.harrowmere-ready").c_str()) == INVALID_FILE_ATTRIBUTES ||
        !Identify(L"C:\\", driveC) || !Identify(unixPrefix + L"\\drive_c", ours) ||
        driveC.dwVolumeSerialNumber != ours.dwVolumeSerialNumber ||
        driveC.nFileIndexHigh != ours.nFileIndexHigh || driveC.nFileIndexLow != ours.nFileIndexLow)
        return std::string("C: is not the drive of the project's Wine prefix") + advice;
    return std::string();
}
