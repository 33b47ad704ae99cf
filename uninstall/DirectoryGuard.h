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
    // and any directory that cannot be identified. The string itself is judged, exactly as a
    // deletion will use it: it must be written out in full (see IsPlainAbsolute), name a plain
    // directory (no junction or symbolic link) and resolve to where it says it is.
    bool MayRemove(const std::wstring& directory) const;

    // The same for a single file (the desktop shortcut): written out in full, a plain file, not
    // a link, and resolving to where it says it is.
    bool MayDeleteFile(const std::wstring& file) const;

    // "X:\dir\..." or "\\server\share\dir\...", at least one folder below the root, every
    // component non-empty, neither "." nor ".." nor ending in a dot or a space, no wildcard,
    // stream or device name: a string the system reads back unchanged, so whatever the
    // "\\?\" form of the batch and the plain form of a deletion name is one and the same.
    static bool IsPlainAbsolute(const std::wstring& path);

    // The folders that must never be removed, as this process sees them.
    static std::vector<std::wstring> ProtectedFolders();

private:
    typedef std::pair<ULONGLONG, ULONGLONG> Identity;  // volume serial, file index
    void Protect(const std::wstring& path);
    bool IsProtected(const std::wstring& path) const;
    bool InsideWindows(const std::wstring& path) const;
    static bool IsWhereItClaims(const std::wstring& path, bool directory);

    std::set<Identity> identities_;
    std::set<std::wstring> names_;  // upper-cased normalised and resolved forms
    std::vector<std::wstring> windows_;
    Identity windowsIdentity_;
    bool windowsIdentified_ = false;
};
