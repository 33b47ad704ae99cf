#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

// Decides whether the directory the uninstaller lies in may be deleted. The uninstaller trusts
// its own location; a copy started from the wrong place must not wipe a drive, the system or
// a user's folders.
class DirectoryGuard {
public:
    // Collects the protected folders and every directory above them, by name and by identity.
    DirectoryGuard();

    // False for drive and share roots, volume mount points, the well-known shell and system
    // folders, any directory that contains one of them, anything inside the Windows directory,
    // and any directory that cannot be identified.
    bool MayRemove(const std::wstring& directory) const;

    // The folders that must never be removed, as this process sees them.
    static std::vector<std::wstring> ProtectedFolders();

private:
    typedef std::pair<ULONGLONG, ULONGLONG> Identity;  // volume serial, file index
    void Protect(const std::wstring& path);
    bool IsProtected(const std::wstring& path) const;
    bool InsideWindows(const std::wstring& path) const;

    std::set<Identity> identities_;
    std::set<std::wstring> names_;  // upper-cased normalised and resolved forms
    std::vector<std::wstring> windows_;
    Identity windowsIdentity_;
    bool windowsIdentified_ = false;
};
