#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What the uninstaller is meant to remove, laid out for a test: the installation directory with
// our uninstall.exe, the Uninstall entry in the 32-bit view, the desktop shortcut, the
// Start-menu group and the compatibility key the uninstaller writes into.
class FakeInstallation {
public:
    explicit FakeInstallation(const std::wstring& directory);
    ~FakeInstallation();
    FakeInstallation(const FakeInstallation&) = delete;
    FakeInstallation& operator=(const FakeInstallation&) = delete;

    // Lays everything out; false when something could not be made.
    bool Create();

    const std::wstring& Directory() const { return directory_; }
    std::wstring Uninstaller() const { return directory_ + L"\\uninstall.exe"; }
    static std::wstring Shortcut();
    static std::wstring Group();
    static std::wstring EntryKey();

    bool EntryExists() const;
    // The compatibility value the uninstaller wrote for its own path; 0 when there is none.
    DWORD CompatibilityValue() const;

    // What a message box asked and how the test answered.
    struct Run {
        DWORD exitCode = STILL_ACTIVE;
        bool ended = false;
        bool asked = false;
        std::wstring text;
        std::wstring caption;
        bool yesAndNoOnly = false;
    };
    // Starts our uninstaller as a user would and answers its question (IDYES or IDNO) when it
    // asks one; waits for its end.
    Run RunUninstaller(int answer, DWORD timeoutMs = 60000) const;
    // The same for any uninstaller program.
    static Run RunAndAnswer(const std::wstring& program, int answer, DWORD timeoutMs = 60000);

    // The bytes the clean-up batch should hold for ansiDirectory.
    static std::string ExpectedBatch(const std::string& ansiDirectory);

private:
    std::wstring directory_;
};
