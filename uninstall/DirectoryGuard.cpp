#include "DirectoryGuard.h"

#include "PathIdentity.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

namespace {

void AddKnownFolder(std::vector<std::wstring>& folders, REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path && *path)
        folders.emplace_back(path);
    CoTaskMemFree(path);
}

void AddFromCall(std::vector<std::wstring>& folders, UINT (WINAPI *call)(LPWSTR, UINT))
{
    wchar_t path[MAX_PATH] = {};
    UINT length = call(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        folders.emplace_back(path);
}

void AddVariable(std::vector<std::wstring>& folders, const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        folders.emplace_back(value);
}

bool IsVolumeRoot(const std::wstring& normal)
{
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumePathNameW(normal.c_str(), volume, MAX_PATH))
        return false;
    return PathIdentity::EqualNames(PathIdentity::Normalize(volume), normal);
}

}  // namespace

std::vector<std::wstring> DirectoryGuard::ProtectedFolders()
{
    std::vector<std::wstring> folders;
    const KNOWNFOLDERID* const known[] = {
        &FOLDERID_Windows, &FOLDERID_System, &FOLDERID_SystemX86, &FOLDERID_Fonts,
        &FOLDERID_ResourceDir, &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86,
        &FOLDERID_ProgramFilesX64, &FOLDERID_ProgramFilesCommon, &FOLDERID_ProgramFilesCommonX86,
        &FOLDERID_ProgramFilesCommonX64, &FOLDERID_UserProgramFiles, &FOLDERID_ProgramData,
        &FOLDERID_UserProfiles, &FOLDERID_Profile, &FOLDERID_Public, &FOLDERID_Desktop,
        &FOLDERID_PublicDesktop, &FOLDERID_Documents, &FOLDERID_PublicDocuments,
        &FOLDERID_Downloads, &FOLDERID_PublicDownloads, &FOLDERID_Music, &FOLDERID_PublicMusic,
        &FOLDERID_Pictures, &FOLDERID_PublicPictures, &FOLDERID_Videos, &FOLDERID_PublicVideos,
        &FOLDERID_SavedGames, &FOLDERID_Favorites, &FOLDERID_Links, &FOLDERID_Contacts,
        &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData, &FOLDERID_LocalAppDataLow,
        &FOLDERID_StartMenu, &FOLDERID_CommonStartMenu, &FOLDERID_Programs,
        &FOLDERID_CommonPrograms, &FOLDERID_Startup, &FOLDERID_CommonStartup,
        &FOLDERID_AdminTools, &FOLDERID_CommonAdminTools, &FOLDERID_Templates,
        &FOLDERID_CommonTemplates, &FOLDERID_SendTo, &FOLDERID_Recent, &FOLDERID_InternetCache,
        &FOLDERID_Cookies, &FOLDERID_History, &FOLDERID_QuickLaunch,
    };
    for (const KNOWNFOLDERID* id : known)
        AddKnownFolder(folders, *id);
    AddFromCall(folders, GetWindowsDirectoryW);
    AddFromCall(folders, GetSystemWindowsDirectoryW);
    AddFromCall(folders, GetSystemDirectoryW);
    AddFromCall(folders, GetSystemWow64DirectoryW);
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH)
        folders.emplace_back(temp);
    // A 32-bit process is told the 32-bit folders; the native ones come from the environment.
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432",
                                L"CommonProgramFiles", L"CommonProgramFiles(x86)",
                                L"CommonProgramW6432", L"SystemRoot", L"windir", L"USERPROFILE",
                                L"PUBLIC", L"ALLUSERSPROFILE", L"ProgramData", L"APPDATA",
                                L"LOCALAPPDATA"})
        AddVariable(folders, name);
    return folders;
}

namespace {

std::wstring Key(const std::wstring& path)
{
    std::wstring upper = path;
    if (!upper.empty())
        CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

}  // namespace

DirectoryGuard::DirectoryGuard()
{
    std::set<std::wstring> seen;
    for (const std::wstring& folder : ProtectedFolders()) {
        if (seen.insert(Key(folder)).second)
            Protect(folder);
    }
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        windows_ = {Key(PathIdentity::Normalize(windows)), Key(PathIdentity::Resolve(windows))};
        windowsIdentified_ =
            PathIdentity::Identify(windows, windowsIdentity_.first, windowsIdentity_.second);
    }
}

void DirectoryGuard::Protect(const std::wstring& path)
{
    // The folder and everything above it, through both its spelt and its resolved path.
    for (const std::wstring& form : {PathIdentity::Normalize(path), PathIdentity::Resolve(path)}) {
        for (std::wstring step = form; !step.empty(); step = PathIdentity::Parent(step)) {
            if (!names_.insert(Key(step)).second)
                break;  // the rest of the way up is known already
            Identity identity;
            if (PathIdentity::Identify(step, identity.first, identity.second))
                identities_.insert(identity);
        }
    }
}

bool DirectoryGuard::IsProtected(const std::wstring& path) const
{
    if (names_.count(Key(path)))
        return true;
    Identity identity;
    return PathIdentity::Identify(path, identity.first, identity.second) && identities_.count(identity);
}

bool DirectoryGuard::InsideWindows(const std::wstring& path) const
{
    for (std::wstring step = path; !step.empty(); step = PathIdentity::Parent(step)) {
        for (const std::wstring& windows : windows_)
            if (!windows.empty() && windows == Key(step))
                return true;
        Identity identity;
        if (windowsIdentified_ && PathIdentity::Identify(step, identity.first, identity.second) &&
            identity == windowsIdentity_)
            return true;
    }
    return false;
}

bool DirectoryGuard::IsPlainAbsolute(const std::wstring& path)
{
    size_t root = 0;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'))) {
        root = 3;
    } else if (path.compare(0, 2, L"\\\\") == 0) {
        // Server and share are the root; "\\?\" and "\\.\" fail the component rules below.
        const size_t server = path.find(L'\\', 2);
        const size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        if (server == 2 || share == std::wstring::npos || share == server + 1)
            return false;
        root = share + 1;
    } else {
        return false;
    }
    if (path.size() <= root)
        return false;  // a bare root
    for (size_t start = 2; start <= path.size();) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring part = path.substr(start, end - start);
        const bool driveRoot = start == 2 && root == 3;  // the empty part after "X:"
        if (!driveRoot) {
            if (part.empty() || part == L"." || part == L".." || part.back() == L'.' ||
                part.back() == L' ')
                return false;
            for (wchar_t c : part)
                if (c < 32 || wcschr(L"\"*:<>?|/", c))
                    return false;
        }
        start = end + 1;
    }
    // What remains (device names, anything the system rewrites) shows as a difference.
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH && PathIdentity::EqualNames(full, path);
}

bool DirectoryGuard::IsWhereItClaims(const std::wstring& path, bool directory)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != directory)
        return false;
    // A junction or link anywhere above shows as a final path elsewhere.
    const std::wstring normal = PathIdentity::Normalize(path);
    return !normal.empty() && PathIdentity::EqualNames(PathIdentity::Resolve(path), normal);
}

bool DirectoryGuard::MayDeleteFile(const std::wstring& file) const
{
    return IsPlainAbsolute(file) && IsWhereItClaims(file, false);
}

bool DirectoryGuard::MayRemove(const std::wstring& directory) const
{
    if (!IsPlainAbsolute(directory) || !IsWhereItClaims(directory, true))
        return false;
    const std::wstring normal = PathIdentity::Normalize(directory);
    // Only what exists and can be told apart from every protected folder is removed.
    Identity identity;
    if (!PathIdentity::Identify(normal, identity.first, identity.second))
        return false;
    const std::wstring resolved = PathIdentity::Resolve(normal);
    for (const std::wstring& form : {normal, resolved}) {
        if (PathIdentity::Parent(form).empty() || IsVolumeRoot(form) || IsProtected(form) ||
            InsideWindows(form))
            return false;
    }
    return true;
}
