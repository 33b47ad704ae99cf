#include "DirectoryGuard.h"
#include "ExactAnsiPath.h"
#include "HelperProcesses.h"
#include "MachineStateGuard.h"
#include "PathIdentity.h"
#include "ScratchFolder.h"
#include "WineLinks.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const DirectoryGuard& Guard()
{
    static const DirectoryGuard guard;
    return guard;
}

std::wstring Upper(std::wstring text)
{
    CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

TEST(DirectoryGuard, RefusesRootsSharesSystemAndUserFoldersAndRelativePathsHoweverSpelt)
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    wchar_t shortName[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(programFiles.c_str(), shortName, MAX_PATH));
    const std::wstring refused[] = {
        L"C:\\", L"C:", L"c:\\", L"Z:\\", L"C:\\.", L"C:\\Games\\..",
        windows, system, std::wstring(windows) + L"\\Fonts",
        ShellFolder(CSIDL_PROGRAM_FILES), ShellFolder(CSIDL_PROGRAM_FILESX86),
        ShellFolder(CSIDL_PROGRAM_FILES_COMMON),
        ShellFolder(CSIDL_PROFILE), ShellFolder(CSIDL_DESKTOPDIRECTORY), ShellFolder(CSIDL_PERSONAL),
        ShellFolder(CSIDL_APPDATA), ShellFolder(CSIDL_LOCAL_APPDATA), ShellFolder(CSIDL_COMMON_APPDATA),
        ShellFolder(CSIDL_PROGRAMS), ShellFolder(CSIDL_STARTMENU), ShellFolder(CSIDL_COMMON_PROGRAMS),
        ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY), ShellFolder(CSIDL_COMMON_DOCUMENTS),
        ShellFolder(CSIDL_PROFILE) + L"\\Downloads",
        // Parents of protected folders: all users' profiles, the Start menu above Programs.
        PathIdentity::Parent(PathIdentity::Normalize(ShellFolder(CSIDL_PROFILE))),
        PathIdentity::Parent(PathIdentity::Normalize(ShellFolder(CSIDL_PROGRAMS))),
        PathIdentity::Parent(PathIdentity::Normalize(ShellFolder(CSIDL_APPDATA))),
        // Anything inside Windows, share roots, missing and relative paths.
        ShellFolder(CSIDL_SYSTEM) + L"\\drivers", L"\\\\server\\share", L"\\\\server\\share\\", L"\\\\server",
        L"C:\\NoSuchHarrowmereDirectory", L"", L"relative\\dir",
        // Other spellings of protected folders.
        Upper(programFiles), programFiles + L"\\", programFiles + L"\\\\", shortName,
        L"\\\\?\\" + programFiles, programFiles + L"\\Common Files\\..", Upper(desktop) + L"\\.",
        L"\\\\?\\" + desktop + L"\\",
    };
    for (const std::wstring& path : refused)
        EXPECT_FALSE(Guard().MayRemove(path)) << Utf8(path);
}

TEST(DirectoryGuard, OnlyTheStringAsWrittenIsAcceptedAndABareDriveIsNotTheCurrentFolder)
{
    // Each spelling below is read by the system as X or its sibling, but a deletion or the
    // batch's "\\?\" form would act on something else: the guard judges the string itself.
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Make(L"X"));
    const std::wstring x = scratch.At(L"X");
    EXPECT_TRUE(Guard().MayRemove(x));
    EXPECT_TRUE(Guard().MayRemove(Upper(x)));
    for (const std::wstring& spelling :
         {x + L".", x + L" ", x + L". .", x + L"\\", x + L"\\.", scratch.At(L".\\X"),
          scratch.At(L"X\\..\\X"), scratch.Path() + L"\\\\X", L"\\\\?\\" + x, x + L"::$INDEX_ALLOCATION"})
        EXPECT_FALSE(Guard().MayRemove(spelling)) << Utf8(spelling);
    EXPECT_TRUE(DirectoryGuard::IsPlainAbsolute(L"C:\\Games\\X"));
    EXPECT_TRUE(DirectoryGuard::IsPlainAbsolute(L"\\\\server\\share\\dir"));
    for (const wchar_t* path : {L"C:", L"C:\\", L"C:Games", L"\\Games\\X", L"C:/Games/X", L"\\\\server\\share",
                                L"\\\\.\\C:\\Games", L"C:\\Games\\CON", L"C:\\Games\\X*", L"C:\\Games\\X\\"})
        EXPECT_FALSE(DirectoryGuard::IsPlainAbsolute(path)) << Utf8(path);

    // "X:" is what an uninstaller at "X:\uninstall.exe" takes for its directory; the system
    // reads it as the current folder on that drive, which looks harmless.
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(x.c_str()));
    const bool accepted = Guard().MayRemove(scratch.Path().substr(0, 2));
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(accepted);

    // The path identity the guard judges by: parents walk up to the root, spellings normalise.
    EXPECT_EQ(L"C:\\Games", PathIdentity::Parent(L"C:\\Games\\X"));
    EXPECT_EQ(L"C:\\", PathIdentity::Parent(L"C:\\Games"));
    EXPECT_EQ(L"", PathIdentity::Parent(L"C:\\"));
    EXPECT_EQ(L"\\\\server\\share", PathIdentity::Parent(L"\\\\server\\share\\dir"));
    EXPECT_EQ(L"", PathIdentity::Parent(L"\\\\server\\share"));
    EXPECT_EQ(L"C:\\Games\\X", PathIdentity::Normalize(L"\\\\?\\C:\\Games\\X\\"));
    EXPECT_EQ(L"C:\\", PathIdentity::Normalize(L"C:\\Games\\.."));
}

TEST(DirectoryGuard, LinksAndWhatLiesBehindThemAreRefused)
{
    if (!WineLinks::Available())
        GTEST_SKIP() << "needs Wine's Unix links, which it reports as reparse points";
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Make(L"X") && scratch.Make(L"X\\inner"));
    ASSERT_TRUE(WriteBytes(scratch.At(L"X\\shortcut.lnk"), "x"));
    WineLinks links;
    ASSERT_TRUE(links.Link(scratch.At(L"link"), scratch.At(L"X")));
    EXPECT_TRUE(Guard().MayRemove(scratch.At(L"X\\inner")));
    EXPECT_FALSE(Guard().MayRemove(scratch.At(L"link")));
    EXPECT_FALSE(Guard().MayRemove(scratch.At(L"link\\inner")));  // resolves elsewhere
    EXPECT_TRUE(Guard().MayDeleteFile(scratch.At(L"X\\shortcut.lnk")));
    EXPECT_FALSE(Guard().MayDeleteFile(scratch.At(L"link\\shortcut.lnk")));
    EXPECT_FALSE(Guard().MayDeleteFile(scratch.At(L"X")));
    EXPECT_FALSE(Guard().MayDeleteFile(scratch.At(L"X\\missing.lnk")));
}

TEST(DirectoryGuard, AcceptsAFolderInsideProgramFiles)
{
    HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
    const std::wstring folder = ShellFolder(CSIDL_PROGRAM_FILES) + L"\\HarrowmereGuardTest";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << "left over from elsewhere: " << Utf8(folder);
    EXPECT_TRUE(Guard().MayRemove(folder));
    RemoveDirectoryW(folder.c_str());
}

class ExactAnsiPathTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch.Path().empty()); }
    std::wstring Make(const std::wstring& name)
    {
        EXPECT_TRUE(scratch.Make(name)) << Utf8(name);
        return scratch.At(name);
    }
    // The bytes found for directory, empty when none are: whatever bytes were chosen must lead
    // back, in both code pages, to exactly this directory.
    static std::string FoundExactly(const std::wstring& directory)
    {
        std::string ansi;
        if (!ExactAnsiPath::Find(directory, ansi)) {
            EXPECT_TRUE(ansi.empty());
            return ansi;
        }
        for (UINT codePage : {CP_ACP, CP_OEMCP}) {
            wchar_t decoded[MAX_PATH] = {};
            EXPECT_GT(MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, ansi.c_str(), -1, decoded,
                                          MAX_PATH), 0);
            EXPECT_TRUE(PathIdentity::Same(decoded, directory)) << Utf8(decoded);
        }
        return ansi;
    }
    ScratchFolder scratch;
};

TEST_F(ExactAnsiPathTest, PlainNameIsKeptTooLongOrSharePathGivesNothing)
{
    const std::wstring directory = Make(L"X");
    EXPECT_EQ(directory, ExactAnsiPath::Decode(FoundExactly(directory)));
    // Too long, or on a share: nothing.
    std::string none;
    EXPECT_FALSE(ExactAnsiPath::Find(L"C:\\Games\\" + std::wstring(255, L'y'), none));
    EXPECT_FALSE(ExactAnsiPath::Find(L"\\\\server\\share\\dir", none));
    EXPECT_TRUE(none.empty());
}

TEST_F(ExactAnsiPathTest, ChineseNameNeverBecomesAnotherDirectory)
{
    const std::wstring directory = Make(L"网页版 游戏");
    const std::string ansi = FoundExactly(directory);
    EXPECT_LT(ansi.size(), 260u);
    EXPECT_EQ(std::string::npos, ansi.find('?'));
    if (GetACP() != 936 && GetACP() != 950 && GetACP() != 65001) {
        std::string direct;
        EXPECT_FALSE(ExactAnsiPath::Encode(directory, direct)) << direct;
    }
}

TEST_F(ExactAnsiPathTest, BestFitLookAlikeIsNotTaken)
{
    // On Western code pages "Ā" is best-fit mapped to "A": the plain conversion names the
    // neighbour, which must survive.
    const std::wstring neighbour = Make(L"A");
    const std::wstring directory = Make(L"\u0100");
    const std::string ansi = FoundExactly(directory);
    EXPECT_NE(neighbour, ExactAnsiPath::Decode(ansi));
    wchar_t decoded[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, decoded, MAX_PATH);
    EXPECT_FALSE(PathIdentity::Same(decoded, neighbour));
    std::string direct;
    EXPECT_FALSE(ExactAnsiPath::Encode(directory, direct)) << direct;
}

TEST_F(ExactAnsiPathTest, LetterThatDiffersBetweenAnsiAndOemIsRefused)
{
    // The interpreter reads batch lines in the OEM code page: "é" of 1252 is "Θ" in 437.
    if (GetACP() != 1252 || GetOEMCP() != 437)
        GTEST_SKIP() << "needs ANSI 1252 with OEM 437, have " << GetACP() << "/" << GetOEMCP();
    std::string direct;
    EXPECT_FALSE(ExactAnsiPath::Encode(L"C:\\Games\\Caf\u00e9", direct));
    FoundExactly(Make(L"Caf\u00e9"));
}

}  // namespace
