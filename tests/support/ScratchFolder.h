#pragma once
#include <string>

// A folder of the test's own, made fresh in the temporary folder (never one that was there
// before) and removed with what is in it when the holder goes. Links inside are removed, never
// followed.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when no folder could be made.
    const std::wstring& Path() const { return path; }
    // Path() + "\" + relative.
    std::wstring At(const std::wstring& relative) const { return path + L"\\" + relative; }
    // Makes a directory below it; false when it was there already or could not be made.
    bool Make(const std::wstring& relative) const;

private:
    std::wstring path;
};
