#include "ExactAnsiPath.h"

#include "PathIdentity.h"

#include <windows.h>

#include <vector>

namespace {

const int kAnsiBufferSize = 260;

std::wstring DecodeIn(UINT codePage, const std::string& bytes)
{
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring decoded(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), &decoded[0], length);
    return decoded;
}

std::wstring ShortForm(const std::wstring& path)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size())
        return std::wstring();
    return std::wstring(buffer.data(), length);
}

}  // namespace

bool ExactAnsiPath::Encode(const std::wstring& path, std::string& ansi)
{
    ansi.clear();
    if (path.empty())
        return false;
    // WC_NO_BEST_FIT_CHARS cannot be combined with every code page (UTF-7/UTF-8 as ACP);
    // the round trip below catches any mapping that changed a character.
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(),
                                           static_cast<int>(path.size()), nullptr, 0, nullptr,
                                           &usedDefault);
    if (length <= 0 || length >= kAnsiBufferSize || usedDefault)
        return false;
    std::string bytes(static_cast<size_t>(length), '\0');
    usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), static_cast<int>(path.size()),
                        &bytes[0], length, nullptr, &usedDefault);
    if (usedDefault || bytes.find('\0') != std::string::npos)
        return false;
    if (DecodeIn(CP_ACP, bytes) != path || DecodeIn(CP_OEMCP, bytes) != path)
        return false;
    ansi = bytes;
    return true;
}

std::wstring ExactAnsiPath::Decode(const std::string& ansi)
{
    return DecodeIn(CP_ACP, ansi);
}

bool ExactAnsiPath::Find(const std::wstring& directory, std::string& ansi)
{
    ansi.clear();
    const std::wstring normal = PathIdentity::Normalize(directory);
    // The batch prefixes the path with "\\?\", which only a drive path survives.
    if (normal.size() < 3 || normal[1] != L':' || normal[2] != L'\\')
        return false;
    for (const std::wstring& candidate : {normal, ShortForm(normal)}) {
        std::string bytes;
        if (!Encode(candidate, bytes))
            continue;
        // A short name must lead to the very directory we were given, not to a namesake.
        if (!PathIdentity::Same(candidate, normal))
            continue;
        ansi = bytes;
        return true;
    }
    return false;
}
