#pragma once
#include <windows.h>
#include <string>

// The uninstaller's removal steps: registry entries, directory trees and the clean-up batch.

extern const wchar_t kProductTitle[];        // "Harrowmere网页版"
extern const wchar_t kPersistedKey[];        // HKCU, compatibility-assistant bookkeeping
extern const wchar_t kUninstallKey[];        // HKLM, 32-bit registry view
extern const wchar_t kCleanupBatchName[];    // "pelvar_uninstall.bat"

// Writes REG_DWORD 1 named by our own executable's path under the Persisted key (opened, never
// created). True when the value was written.
bool SetCompatibilityFlag();

// Deletes the product's subkey (only when it has no subkeys of its own) from the Uninstall key
// in the 32-bit view, the one a 32-bit program sees under WoW64. Always true.
bool RemoveUninstallEntry(const wchar_t* title);

// Deletes the entries of a directory bottom-up and then the directory. Does nothing when the
// directory itself is a reparse point (junction, symbolic link) or no directory. Inside, only
// entries whose attributes are exactly FILE_ATTRIBUTE_DIRECTORY are descended into; anything else
// (read-only or reparse-point directories included) is handed to DeleteFileW, so links are never
// followed.
void DeleteTree(const wchar_t* directory);

// The batch text for an installation directory given in the ANSI code page, its terminating
// NUL included: a three-second wait (the uninstaller's exit), DEL and RD of the directory, and
// the removal of the batch's own folder. Empty when it would not fit the 1024-byte buffer it is
// meant for: a cut line would name another directory. A '%' is doubled, since the interpreter
// expands single ones.
std::string BuildCleanupBatch(const char* ansiDirectory);

// The system's cmd.exe, by full path, running the batch; empty when the path holds a '%' or a
// quote, which the interpreter's own command line cannot carry literally.
std::wstring CleanupCommandLine(const std::wstring& batchPath);

// Writes the batch into a new private folder of our temporary folder (never into an existing
// file) and starts it hidden. Returns the batch's path; empty when nothing was written.
std::wstring WriteCleanupBatch(const char* ansiDirectory);
