#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A folder made fresh for one run in our temporary folder, that only the current user, the
// administrators and the system can write: what the elevated clean-up runs from cannot be
// replaced or redirected by anyone else in the meantime.
class PrivateTempFolder {
public:
    // Creates "<temp>\<prefix>-<process id>-<n>" (never an existing one) and returns its path;
    // empty when no such folder could be made.
    static std::wstring Create(const wchar_t* prefix);

    // The folder's access list: full control for the current user, the administrators and the
    // system, inherited by what is made inside. Empty when it could not be built.
    static std::vector<BYTE> AccessList();

    // A system access list labelling the folder with our own integrity level, no write up: the
    // same user's processes of lower integrity (the unelevated ones) cannot write into it either.
    // Empty when the system offers no integrity levels; the folder is then made without a label.
    static std::vector<BYTE> IntegrityLabel();
};
