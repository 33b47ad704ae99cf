#include "WebLinks.h"

#include <windows.h>
#include <shellapi.h>

#include <cwctype>

namespace web_links {
namespace {

ShellOpenFn& ShellOpen()
{
    static ShellOpenFn fn;
    return fn;
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    for (; *prefix; ++text, ++prefix) {
        if (!*text || std::towlower(*text) != *prefix) return false;
    }
    return true;
}

}  // namespace

bool IsWebAddress(const wchar_t* address)
{
    if (!address) return false;
    return (StartsWithNoCase(address, L"http://") || StartsWithNoCase(address, L"https://")) &&
           address[StartsWithNoCase(address, L"https://") ? 8 : 7] != L'\0';
}

bool OpenInBrowser(const wchar_t* address)
{
    if (!IsWebAddress(address)) return false;
    if (ShellOpen()) {
        ShellOpen()(address);
    } else {
        ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOW);
    }
    return true;
}

void SetShellOpen(ShellOpenFn fn)
{
    ShellOpen() = std::move(fn);
}

}  // namespace web_links
