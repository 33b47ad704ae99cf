#include "HelperProcesses.h"
#include "RemovalSteps.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const wchar_t kRoot[] = L"C:\\HarrowmereRemovalTests";

class DeleteTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestTree(kRoot);
        ASSERT_TRUE(CreateDirectoryW(kRoot, nullptr));
    }
    void TearDown() override { RemoveTestTree(kRoot); }

    static std::wstring At(const std::wstring& relative) { return std::wstring(kRoot) + L"\\" + relative; }
    static void MakeDirectory(const std::wstring& relative)
    {
        ASSERT_TRUE(CreateDirectoryW(At(relative).c_str(), nullptr)) << Utf8(relative);
    }
    static void MakeFile(const std::wstring& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        ASSERT_TRUE(WriteBytes(At(relative), "x")) << Utf8(relative);
        if (attributes != FILE_ATTRIBUTE_NORMAL) {
            ASSERT_TRUE(SetFileAttributesW(At(relative).c_str(), attributes));
        }
    }
};

TEST_F(DeleteTreeTest, MissingDirectoryIsLeftAlone)
{
    MakeFile(L"keep.txt");
    DeleteTree(At(L"missing").c_str());
    EXPECT_FALSE(Exists(At(L"missing")));
    EXPECT_TRUE(Exists(At(L"keep.txt")));
    EXPECT_TRUE(Exists(kRoot));
}

TEST_F(DeleteTreeTest, ThreeLevelsAreRemovedWithTheDirectory)
{
    MakeDirectory(L"tree");
    MakeDirectory(L"tree\\a");
    MakeDirectory(L"tree\\a\\b");
    MakeDirectory(L"tree\\empty");
    MakeFile(L"tree\\top.txt");
    MakeFile(L"tree\\a\\middle.dat");
    MakeFile(L"tree\\a\\b\\bottom 1.txt");
    MakeFile(L"tree\\a\\b\\网页版.txt");
    MakeFile(L"sibling.txt");
    DeleteTree(At(L"tree").c_str());
    EXPECT_FALSE(Exists(At(L"tree")));
    EXPECT_TRUE(Exists(At(L"sibling.txt")));
}

TEST_F(DeleteTreeTest, WhatCannotGoKeepsItsParentsAndNothingElse)
{
    // A read-only file deep down: its directories stay, everything beside them goes.
    MakeDirectory(L"tree");
    MakeDirectory(L"tree\\a");
    MakeDirectory(L"tree\\a\\b");
    MakeDirectory(L"tree\\other");
    MakeFile(L"tree\\a\\b\\locked.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(L"tree\\a\\b\\plain.txt");
    MakeFile(L"tree\\a\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"tree\\other\\x.txt");
    DeleteTree(At(L"tree").c_str());
    EXPECT_EQ(std::vector<std::wstring>{L"a"}, ListDirectory(At(L"tree")));
    EXPECT_EQ(std::vector<std::wstring>{L"b"}, ListDirectory(At(L"tree\\a")));
    EXPECT_EQ(std::vector<std::wstring>{L"locked.txt"}, ListDirectory(At(L"tree\\a\\b")));
}

TEST_F(DeleteTreeTest, ReadOnlyOrHiddenSubdirectoryIsNotDescendedInto)
{
    MakeDirectory(L"tree");
    MakeDirectory(L"tree\\sealed");
    MakeFile(L"tree\\sealed\\inside.txt");
    MakeFile(L"tree\\loose.txt");
    // Wine keeps no read-only bit on directories (it reads back 0x10); the hidden bit it keeps,
    // and any bit beside the directory bit means "not descended into".
    ASSERT_TRUE(SetFileAttributesW(At(L"tree\\sealed").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_NE(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(At(L"tree\\sealed").c_str()));
    DeleteTree(At(L"tree").c_str());
    EXPECT_TRUE(Exists(At(L"tree\\sealed\\inside.txt")));
    EXPECT_FALSE(Exists(At(L"tree\\loose.txt")));
    EXPECT_EQ(std::vector<std::wstring>{L"sealed"}, ListDirectory(At(L"tree")));
}

TEST_F(DeleteTreeTest, HiddenAndSystemFilesAreDeleted)
{
    MakeDirectory(L"tree");
    MakeFile(L"tree\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"tree\\system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(L"tree\\archive.txt", FILE_ATTRIBUTE_ARCHIVE);
    DeleteTree(At(L"tree").c_str());
    EXPECT_FALSE(Exists(At(L"tree")));
}

TEST_F(DeleteTreeTest, ReadOnlyFileStays)
{
    MakeDirectory(L"tree");
    MakeFile(L"tree\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    DeleteTree(At(L"tree").c_str());
    EXPECT_EQ(std::vector<std::wstring>{L"readonly.txt"}, ListDirectory(At(L"tree")));
}

const char kGamesBatch[] =
    "@echo off\r\n"
    "choice / t 3 / d y / n > nul\r\n"
    "@echo off\r\n"
    "DEL /F /A /Q \\\\?\\\"C:\\Games\\X\"\r\n"
    "RD /S /Q \\\\?\\\"C:\\Games\\X\"";

TEST(CleanupBatch, HoldsTheFiveLinesAndOneNul)
{
    const std::string expected(kGamesBatch, sizeof kGamesBatch);  // the NUL included
    const std::string text = BuildCleanupBatch("C:\\Games\\X");
    EXPECT_EQ(expected, text);
    EXPECT_EQ(1u, std::count(text.begin(), text.end(), '\0'));
    EXPECT_EQ(4u, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ("C:\\Games\\X\\pelvar_uninstall.bat", CleanupBatchPath("C:\\Games\\X"));
}

TEST(CleanupBatch, PercentSignsStayLiteral)
{
    const std::string text = BuildCleanupBatch("C:\\Games\\100%Fun%");
    EXPECT_NE(std::string::npos, text.find("DEL /F /A /Q \\\\?\\\"C:\\Games\\100%%Fun%%\"\r\n"));
    EXPECT_NE(std::string::npos, text.find("RD /S /Q \\\\?\\\"C:\\Games\\100%%Fun%%\"\0"));
}

TEST(CleanupBatch, NothingThatWouldBeCutIsWritten)
{
    // Cut lines would name a shorter path, that is another directory.
    const std::string longest = "C:\\" + std::string(256, 'x');
    EXPECT_FALSE(BuildCleanupBatch(longest.c_str()).empty());
    const std::string percents = "C:\\" + std::string(240, '%');
    EXPECT_TRUE(BuildCleanupBatch(percents.c_str()).empty());
    EXPECT_TRUE(CleanupBatchPath(longest.c_str()).empty());
}

TEST(CleanupBatch, IsWrittenIntoTheDirectory)
{
    // cmd.exe is disabled for this test program (see CMakeLists.txt): the batch must not run.
    RemoveTestTree(L"C:\\Games\\X");
    CreateDirectoryW(L"C:\\Games", nullptr);
    ASSERT_TRUE(CreateDirectoryW(L"C:\\Games\\X", nullptr));
    ASSERT_TRUE(WriteBytes(L"C:\\Games\\X\\data.txt", "x"));
    WriteCleanupBatch("C:\\Games\\X");
    EXPECT_EQ(std::string(kGamesBatch, sizeof kGamesBatch),
              ReadBytes(L"C:\\Games\\X\\pelvar_uninstall.bat"));
    EXPECT_TRUE(Exists(L"C:\\Games\\X\\data.txt"));
    RemoveTestTree(L"C:\\Games\\X");
}

class UninstallEntryTest : public ::testing::Test {
protected:
    static std::wstring ProductKey() { return std::wstring(kUninstallKey) + L"\\" + kProductTitle; }
    static bool KeyExists(const std::wstring& path, REGSAM view)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void CreateKey(const std::wstring& path, REGSAM view)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | view, nullptr, &key, nullptr));
        RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kProductTitle),
                       static_cast<DWORD>((wcslen(kProductTitle) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    static void DeleteKey(const std::wstring& path, REGSAM view)
    {
        HKEY parent = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS | view, &parent) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(parent, path.substr(wcslen(kUninstallKey) + 1).c_str());
            RegCloseKey(parent);
        }
    }
    void TearDown() override
    {
        DeleteKey(ProductKey(), KEY_WOW64_32KEY);
        DeleteKey(ProductKey(), KEY_WOW64_64KEY);
    }
};

TEST_F(UninstallEntryTest, RemovesTheEntryOfThe32BitView)
{
    CreateKey(ProductKey(), KEY_WOW64_32KEY);
    CreateKey(ProductKey(), KEY_WOW64_64KEY);
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_FALSE(KeyExists(ProductKey(), KEY_WOW64_32KEY));
    // The 64-bit view is not where a 32-bit program looks; its namesake stays.
    EXPECT_TRUE(KeyExists(ProductKey(), KEY_WOW64_64KEY));
}

TEST_F(UninstallEntryTest, MissingEntryIsNoFailure)
{
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_FALSE(KeyExists(ProductKey(), KEY_WOW64_32KEY));
}

TEST_F(UninstallEntryTest, EntryWithSubkeysStays)
{
    CreateKey(ProductKey() + L"\\Extra", KEY_WOW64_32KEY);
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_TRUE(KeyExists(ProductKey(), KEY_WOW64_32KEY));
}

TEST(CompatibilityFlag, IsWrittenOnlyWhereTheKeyExists)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    RegDeleteTreeW(HKEY_CURRENT_USER, kPersistedKey);
    EXPECT_FALSE(SetCompatibilityFlag());
    HKEY probe = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, KEY_READ, &probe));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_TRUE(SetCompatibilityFlag());
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, self, nullptr, &type,
                                              reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1u, value);
    EXPECT_EQ(4u, size);
    RegDeleteValueW(key, self);
    RegCloseKey(key);
}

}  // namespace
