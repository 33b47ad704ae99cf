#pragma once
#include <windows.h>
#include <string>

// Answers "is this the same directory?" by what the file system says, not by how the path is
// spelt: short names, case, junctions, subst drives and "\\?\" forms all name one directory.
class PathIdentity {
public:
    // Absolute, long-name form without a "\\?\" prefix or trailing backslash (except a root).
    static std::wstring Normalize(const std::wstring& path);
    // The path the file system resolves to (junctions followed), normalised; the normalised input
    // when the directory cannot be opened.
    static std::wstring Resolve(const std::wstring& path);
    // The parent directory of a normalised path; empty for a root.
    static std::wstring Parent(const std::wstring& path);
    // Volume serial number and file index of an existing file or directory.
    static bool Identify(const std::wstring& path, ULONGLONG& volume, ULONGLONG& index);
    // Both exist and are one and the same file system object.
    static bool Same(const std::wstring& a, const std::wstring& b);
    // ancestor is path itself or one of the directories that contain it.
    static bool SameOrAncestor(const std::wstring& ancestor, const std::wstring& path);
    // Ordinal, case-insensitive comparison as the file system does it.
    static bool EqualNames(const std::wstring& a, const std::wstring& b);
};
