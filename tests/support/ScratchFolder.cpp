#include "ScratchFolder.h"

#include "TestSupport.h"

#include <windows.h>

ScratchFolder::ScratchFolder()
{
    const std::wstring temp = testing_support::TempDirectory();
    if (temp.empty())
        return;
    for (int n = 0; n < 1000 && path.empty(); ++n) {
        const std::wstring candidate = temp + L"Harrowmere-test-" +
                                       std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
        if (CreateDirectoryW(candidate.c_str(), nullptr))
            path = candidate;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

ScratchFolder::~ScratchFolder()
{
    if (!path.empty())
        testing_support::RemoveTestTree(path);
}

bool ScratchFolder::Make(const std::wstring& relative) const
{
    return !path.empty() && CreateDirectoryW(At(relative).c_str(), nullptr);
}
