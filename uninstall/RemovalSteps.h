#pragma once
#include <windows.h>
#include <string>

// The uninstaller's removal steps: registry entries, directory trees and the clean-up batch.

extern const wchar_t kProductTitle[];        // "Harrowmere网页版"
extern const wchar_t kPersistedKey[];        // HKCU, compatibility-assistant bookkeeping
extern const wchar_t kUninstallKey[];        // HKLM, 32-bit registry view
extern const char kCleanupBatchName[];       // "pelvar_uninstall.bat"

// Writes REG_DWORD 1 named by our own executable's path under the Persisted key (opened, never
// created). True when the value was written.
bool SetCompatibilityFlag();

// Deletes the product's subkey (only when it has no subkeys of its own) from the Uninstall key
// in the 32-bit view, the one a 32-bit program sees under WoW64. Always true.
bool RemoveUninstallEntry(const wchar_t* title);

// Deletes the entries of a directory bottom-up and then the directory. Only entries whose
// attributes are exactly FILE_ATTRIBUTE_DIRECTORY are descended into; anything else (read-only
// or reparse-point directories included) is handed to DeleteFileW, so links are never followed.
void DeleteTree(const wchar_t* directory);

// The batch text for an installation directory given in the ANSI code page, its terminating
// NUL included. Empty when it would not fit the 1024-byte buffer it is meant for: a cut line
// would name another directory. A '%' is doubled, since the interpreter expands single ones.
std::string BuildCleanupBatch(const char* ansiDirectory);

// "<directory>\pelvar_uninstall.bat" in ANSI; empty when it does not fit 260 bytes.
std::string CleanupBatchPath(const char* ansiDirectory);

// Writes the batch into the directory and starts it hidden through the shell (also when the
// write failed). Writes and starts nothing when the text or its path would not fit.
void WriteCleanupBatch(const char* ansiDirectory);
