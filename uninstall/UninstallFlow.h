#pragma once
#include <windows.h>
#include <string>

// The uninstaller's run from top to bottom: question, client shutdown, registry entry, taskbar
// unpin, shortcut, program group, installation directory and the hidden clean-up batch.
class UninstallFlow {
public:
    static constexpr int kKillRounds = 10;

    // The whole sequence; 0 on every path.
    static int Run();

    // Finds and ends client windows' processes until none is left or maxRounds windows were
    // found; 500 ms after each. Returns the number of rounds that found a window.
    static int EndRunningClient(int maxRounds = kKillRounds);

    // "<Harrowmere网页版>正在运行,是否关闭<Harrowmere网页版>？"
    static std::wstring Question();

    // The directory part of an executable path (cut at the last backslash); empty when there
    // is none.
    static std::wstring InstallDirectoryOf(const std::wstring& modulePath);

    // Our own executable's directory; empty when the path did not fit its buffer (a cut path
    // would name some other directory).
    static std::wstring OwnDirectory();

    // A shell folder by CSIDL, without creating it; false (and nothing to act on) when
    // the query fails.
    static bool ShellFolder(int csidl, std::wstring& path);

    // "<directory>\<name><suffix>" when it fits a MAX_PATH buffer, otherwise empty.
    static std::wstring JoinBounded(const std::wstring& directory, const std::wstring& name,
                                    const wchar_t* suffix);
};
