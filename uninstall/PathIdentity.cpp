#include "PathIdentity.h"

#include "UniqueHandle.h"

#include <vector>

namespace {

std::wstring StripVerbatimPrefix(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\??\\") == 0)
        return path.substr(4);
    return path;
}

// Length of the root part: "C:\" -> 3, "\\server\share" -> up to the share's end.
size_t RootLength(const std::wstring& path)
{
    if (path.size() >= 2 && path[1] == L':')
        return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
    if (path.compare(0, 2, L"\\\\") == 0) {
        size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos)
            return path.size();
        size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share;
    }
    return 0;
}

std::wstring CallForString(DWORD (*call)(const std::wstring&, wchar_t*, DWORD), const std::wstring& in)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD length = call(in, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return std::wstring();
}

DWORD FullPath(const std::wstring& in, wchar_t* out, DWORD size)
{
    return GetFullPathNameW(in.c_str(), size, out, nullptr);
}

DWORD LongPath(const std::wstring& in, wchar_t* out, DWORD size)
{
    return GetLongPathNameW(in.c_str(), out, size);
}

// Opened for its identity only: no access rights asked, nothing locked for others.
UniqueFileHandle OpenEntry(const std::wstring& path)
{
    return UniqueFileHandle(CreateFileW(path.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

std::wstring PathIdentity::Normalize(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();
    std::wstring full = CallForString(FullPath, StripVerbatimPrefix(path));
    if (full.empty())
        return std::wstring();
    std::wstring longForm = CallForString(LongPath, full);
    std::wstring result = StripVerbatimPrefix(longForm.empty() ? full : longForm);
    const size_t root = RootLength(result);
    while (result.size() > root && result.size() > 1 && result.back() == L'\\')
        result.pop_back();
    if (result.size() == 2 && result[1] == L':')
        result += L'\\';
    return result;
}

std::wstring PathIdentity::Resolve(const std::wstring& path)
{
    const std::wstring normal = Normalize(path);
    if (normal.empty())
        return normal;
    const UniqueFileHandle handle = OpenEntry(normal);
    if (!handle)
        return normal;
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleW(handle.Get(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle.Get(), buffer.data(),
                                           static_cast<DWORD>(buffer.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= buffer.size())
        return normal;
    std::wstring resolved = Normalize(std::wstring(buffer.data(), length));
    return resolved.empty() ? normal : resolved;
}

std::wstring PathIdentity::Parent(const std::wstring& path)
{
    const size_t root = RootLength(path);
    if (root == 0 || path.size() <= root)
        return std::wstring();
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < root)
        return path.substr(0, root);
    return path.substr(0, slash);
}

bool PathIdentity::Identify(const std::wstring& path, ULONGLONG& volume, ULONGLONG& index)
{
    if (path.empty())
        return false;
    const UniqueFileHandle handle = OpenEntry(path);
    if (!handle)
        return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle.Get(), &info))
        return false;
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

bool PathIdentity::Same(const std::wstring& a, const std::wstring& b)
{
    ULONGLONG volumeA = 0, indexA = 0, volumeB = 0, indexB = 0;
    if (Identify(a, volumeA, indexA) && Identify(b, volumeB, indexB))
        return volumeA == volumeB && indexA == indexB;
    const std::wstring normalA = Normalize(a);
    return !normalA.empty() && EqualNames(normalA, Normalize(b));
}

bool PathIdentity::SameOrAncestor(const std::wstring& ancestor, const std::wstring& path)
{
    const std::wstring ancestorForms[] = {Normalize(ancestor), Resolve(ancestor)};
    ULONGLONG volume = 0, index = 0;
    const bool identified = Identify(ancestor, volume, index);
    for (const std::wstring& start : {Normalize(path), Resolve(path)}) {
        for (std::wstring step = start; !step.empty(); step = Parent(step)) {
            for (const std::wstring& form : ancestorForms)
                if (!form.empty() && EqualNames(form, step))
                    return true;
            ULONGLONG stepVolume = 0, stepIndex = 0;
            if (identified && Identify(step, stepVolume, stepIndex) && stepVolume == volume &&
                stepIndex == index)
                return true;
        }
    }
    return false;
}

bool PathIdentity::EqualNames(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
