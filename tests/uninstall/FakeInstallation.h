#pragma once
#include <windows.h>

#include <string>
#include <vector>

// What the uninstaller is meant to remove, laid out for a test: the installation directory with
// our uninstall.exe, the Uninstall entry in the 32-bit view, the desktop shortcut, the
// Start-menu group and the compatibility key the uninstaller writes into. Nothing of it may be
// there before; only what Create made is removed again.
class FakeInstallation {
public:
    explicit FakeInstallation(const std::wstring& directory);
    ~FakeInstallation();
    FakeInstallation(const FakeInstallation&) = delete;
    FakeInstallation& operator=(const FakeInstallation&) = delete;

    // Lays everything out; false, with the reason in Problem(), when something could not be
    // made or was there already.
    bool Create();
    const std::string& Problem() const { return problem; }

    const std::wstring& Directory() const { return directory; }
    std::wstring Uninstaller() const { return directory + L"\\uninstall.exe"; }
    static std::wstring Shortcut();
    static std::wstring Group();
    static std::wstring EntryKey();

    // Whether the entry is there, in the 32-bit view unless another one is named.
    static bool EntryExists(REGSAM view = KEY_WOW64_32KEY);
    // Whether anything of an installation in directory is there: the directory, the shortcut,
    // the group or the entry.
    static bool AnyPartExists(const std::wstring& directory);
    // The compatibility value the uninstaller wrote for its own path; 0 when there is none.
    DWORD CompatibilityValue() const;

    // What a message box asked and how the test answered, and the clean-up batch the run left.
    struct Run {
        DWORD exitCode = STILL_ACTIVE;
        bool ended = false;
        bool asked = false;
        std::wstring text;
        std::wstring caption;
        bool yesAndNoOnly = false;
        std::wstring batchPath;  // where the run wrote its batch; empty when it wrote none
        std::string batch;       // its bytes (the folder it made is removed after reading)
    };
    // Starts our uninstaller as a user would and answers its question (IDYES or IDNO) when it
    // asks one; waits for its end.
    Run RunUninstaller(int answer, DWORD timeoutMs = 60000) const;
    // The same for any uninstaller program, started in currentDirectory when one is given.
    static Run RunAndAnswer(const std::wstring& program, int answer, DWORD timeoutMs = 60000,
                            const std::wstring& currentDirectory = L"");

    // The bytes the clean-up batch should hold for ansiDirectory.
    static std::string ExpectedBatch(const std::string& ansiDirectory);

    // Makes path and any missing folder above it, recording each one made in created.
    static bool MakeDirectories(const std::wstring& path, std::vector<std::wstring>& created);

    // The question the uninstaller asks while a client runs.
    static constexpr const wchar_t* kCloseQuestion =
        L"<Harrowmere网页版>正在运行,是否关闭<Harrowmere网页版>？";

private:
    bool Fail(const std::string& problem);

    std::wstring directory;
    std::string problem;
    std::vector<std::wstring> createdDirectories;  // removed last first
    std::wstring createdShortcut;
    bool createdEntry = false;
    std::wstring createdPersistedRoot;  // the highest key of the Persisted path we made
};

// Expects a run that ended with exit code 0 and what it leaves of the installation in directory:
// no entry, shortcut or group; only the running uninstaller, and the run's batch, in a folder of
// its own in the temporary folder, naming the directory.
void ExpectUninstalled(const FakeInstallation::Run& run, const std::wstring& directory);
