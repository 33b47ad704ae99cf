#include "WineLinks.h"

#include "HelperProcesses.h"
#include "TestSupport.h"

#include <windows.h>

namespace {

typedef char*(CDECL* UnixNameFunction)(const wchar_t*);

UnixNameFunction UnixNameOf()
{
    return reinterpret_cast<UnixNameFunction>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
}

std::string UnixPath(const std::wstring& path)
{
    const UnixNameFunction convert = UnixNameOf();
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name)
        return std::string();
    const std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine starts Unix programs through CreateProcess; their exit code does not come back, so the
// caller checks the effect.
void RunUnix(const wchar_t* program, const std::string& utf8Arguments)
{
    std::wstring arguments(utf8Arguments.size() + 1, L'\0');
    arguments.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8Arguments.c_str(), static_cast<int>(utf8Arguments.size()), &arguments[0],
        static_cast<int>(arguments.size()))));
    testing_support::StartUnixProgram(program, arguments, 10000);
}

// Wine splits the command line of a Unix program by the Windows rules: double quotes.
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool WineLinks::Available()
{
    return UnixNameOf() != nullptr && Exists(L"Z:\\bin\\ln") && Exists(L"Z:\\bin\\rm");
}

WineLinks::~WineLinks()
{
    for (auto link = made.rbegin(); link != made.rend(); ++link)
        RunUnix(L"/bin/rm", "-f -- " + Quoted(*link));  // no -r: only the link itself can go
}

bool WineLinks::MakeUnixLink(const std::string& unixLink, const std::string& unixTarget,
                             const std::wstring& visibleAs)
{
    if (unixLink.empty() || unixTarget.empty() || unixLink.find('"') != std::string::npos ||
        unixTarget.find('"') != std::string::npos)
        return false;
    // Without -f: an existing name is never replaced.
    RunUnix(L"/bin/ln", "-s -- " + Quoted(unixTarget) + " " + Quoted(unixLink));
    if (!testing_support::WaitUntil([&] { return Exists(visibleAs); }, 5000))
        return false;
    made.push_back(unixLink);
    return true;
}

bool WineLinks::Link(const std::wstring& linkPath, const std::wstring& target)
{
    if (!Available() || Exists(linkPath))
        return false;
    return MakeUnixLink(UnixPath(linkPath), UnixPath(target), linkPath);
}

std::wstring WineLinks::MapDrive(const std::wstring& directory)
{
    wchar_t prefix[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (!Available() || length == 0 || length >= MAX_PATH)
        return std::wstring();
    const std::string target = UnixPath(directory);
    std::string devices;
    for (const wchar_t* p = prefix; *p; ++p)
        devices += static_cast<char>(*p);
    devices += "/dosdevices/";
    for (wchar_t letter = L'R'; letter <= L'Y'; ++letter) {
        const std::wstring drive = std::wstring(1, letter) + L":";
        if (GetDriveTypeW((drive + L"\\").c_str()) != DRIVE_NO_ROOT_DIR)
            continue;
        const char lower = static_cast<char>(letter - L'A' + 'a');
        if (MakeUnixLink(devices + lower + ":", target, drive + L"\\"))
            return drive;
    }
    return std::wstring();
}
