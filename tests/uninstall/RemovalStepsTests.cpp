#include "ExactAnsiPath.h"
#include "FakeInstallation.h"
#include "HelperProcesses.h"
#include "MachineStateGuard.h"
#include "PrivateTempFolder.h"
#include "RemovalSteps.h"
#include "ScratchFolder.h"
#include "UniqueHandle.h"
#include "WineLinks.h"

#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>

namespace {

class DeleteTreeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch.Path().empty()); }

    std::wstring At(const std::wstring& relative) const { return scratch.At(relative); }
    void MakeDirectory(const std::wstring& relative)
    {
        ASSERT_TRUE(scratch.Make(relative)) << Utf8(relative);
    }
    void MakeFile(const std::wstring& relative)
    {
        ASSERT_TRUE(WriteBytes(At(relative), "x")) << Utf8(relative);
    }
    // Every path below the folder (relative to the scratch folder), relative to it: each folder
    // before what lies in it, names in order.
    std::vector<std::wstring> Remaining(const std::wstring& folder) const
    {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : ListDirectory(At(folder))) {
            paths.push_back(name);
            if (GetFileAttributesW(At(folder + L"\\" + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                for (const std::wstring& inner : Remaining(folder + L"\\" + name))
                    paths.push_back(name + L"\\" + inner);
        }
        return paths;
    }
    ScratchFolder scratch;
};

TEST_F(DeleteTreeTest, LinkOrFileHandedInIsLeftAlone)
{
    MakeDirectory(L"target");
    MakeFile(L"target\\theirs.txt");
    MakeFile(L"file.txt");
    DeleteTree(At(L"file.txt").c_str());
    EXPECT_TRUE(Exists(At(L"file.txt")));
    if (!WineLinks::Available())
        GTEST_SKIP() << "needs Wine's Unix links, which it reports as reparse points";
    WineLinks links;
    ASSERT_TRUE(links.Link(At(L"link"), At(L"target")));
    DeleteTree(At(L"link").c_str());
    EXPECT_EQ(std::vector<std::wstring>{L"theirs.txt"}, ListDirectory(At(L"target")));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(At(L"link").c_str()));
}

TEST_F(DeleteTreeTest, WhatCannotGoKeepsItsParentsAndNothingElse)
{
    const DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY, kReadOnly = FILE_ATTRIBUTE_READONLY,
                kHidden = FILE_ATTRIBUTE_HIDDEN;
    struct Case {
        const char* what;
        std::vector<std::pair<std::wstring, DWORD>> made;  // a folder before what lies in it
        std::vector<std::wstring> left;
    } cases[] = {
        {"three levels go with the directory, its sibling stays",
         {{L"tree", kFolder}, {L"tree\\a", kFolder}, {L"tree\\a\\b", kFolder}, {L"tree\\empty", kFolder},
          {L"tree\\top.txt", 0}, {L"tree\\a\\middle.dat", 0}, {L"tree\\a\\b\\bottom 1.txt", 0},
          {L"tree\\a\\b\\网页版.txt", 0}, {L"sibling.txt", 0}},
         {L"sibling.txt"}},
        {"a read-only file deep down keeps its folders, everything beside them goes",
         {{L"tree", kFolder}, {L"tree\\a", kFolder}, {L"tree\\a\\b", kFolder}, {L"tree\\other", kFolder},
          {L"tree\\a\\b\\locked.txt", kReadOnly}, {L"tree\\a\\b\\plain.txt", 0},
          {L"tree\\a\\hidden.txt", kHidden}, {L"tree\\other\\x.txt", 0}},
         {L"tree", L"tree\\a", L"tree\\a\\b", L"tree\\a\\b\\locked.txt"}},
        // Wine keeps no read-only bit on directories (it reads back 0x10); the hidden bit it keeps,
        // and any bit beside the directory bit means "not descended into".
        {"a read-only or hidden subdirectory is not descended into",
         {{L"tree", kFolder}, {L"tree\\sealed", kFolder | kReadOnly | kHidden},
          {L"tree\\sealed\\inside.txt", 0}, {L"tree\\loose.txt", 0}},
         {L"tree", L"tree\\sealed", L"tree\\sealed\\inside.txt"}},
        {"hidden, system and archive files are deleted",
         {{L"tree", kFolder}, {L"tree\\hidden.txt", kHidden},
          {L"tree\\system.txt", FILE_ATTRIBUTE_SYSTEM | kHidden},
          {L"tree\\archive.txt", FILE_ATTRIBUTE_ARCHIVE}},
         {}},
        {"a read-only file stays", {{L"tree", kFolder}, {L"tree\\readonly.txt", kReadOnly}},
         {L"tree", L"tree\\readonly.txt"}},
        {"a missing directory is no failure and takes nothing along", {{L"keep.txt", 0}}, {L"keep.txt"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring folder = L"case " + std::to_wstring(++n);
        MakeDirectory(folder);
        for (const auto& made : c.made) {
            if (made.second & kFolder)
                MakeDirectory(folder + L"\\" + made.first);
            else
                MakeFile(folder + L"\\" + made.first);
        }
        // Attributes last, once everything inside a folder is made.
        for (const auto& made : c.made) {
            const std::wstring path = At(folder + L"\\" + made.first);
            if ((made.second & ~kFolder) == 0)
                continue;
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), made.second & ~kFolder)) << Utf8(made.first);
            ASSERT_NE(kFolder, GetFileAttributesW(path.c_str())) << Utf8(made.first);
        }
        DeleteTree(At(folder + L"\\tree").c_str());
        EXPECT_EQ(c.left, Remaining(folder));
    }
}

TEST(CleanupBatch, WaitsThenRemovesTheDirectoryWithPercentSignsLiteralAndNothingCut)
{
    const std::string longest = "C:\\" + std::string(256, 'x');
    const struct {
        std::string directory, named;  // named: as the batch must name it; empty: no batch
    } cases[] = {
        {"C:\\Games\\X", "C:\\Games\\X"},
        {"C:\\Games\\100%Fun%", "C:\\Games\\100%%Fun%%"},
        {longest, longest},
        // Cut lines would name a shorter path, that is another directory.
        {"C:\\" + std::string(240, '%'), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(c.named.empty() ? "" : FakeInstallation::ExpectedBatch(c.named),
                  BuildCleanupBatch(c.directory.c_str()));
    }
    // Written out once: the wait, the removal and the batch's own folder, ending in a NUL.
    const char games[] = "@echo off\r\nchoice /t 3 /d y /n > nul\r\n@echo off\r\n"
                         "DEL /F /A /Q \\\\?\\\"C:\\Games\\X\"\r\nRD /S /Q \\\\?\\\"C:\\Games\\X\"\r\n"
                         "RD /S /Q \"%~dp0\"";
    EXPECT_EQ(std::string(games, sizeof games), FakeInstallation::ExpectedBatch("C:\\Games\\X"));
}

TEST(CleanupBatch, StartsTheSystemInterpreterOnAPathWithoutPercent)
{
    wchar_t system[MAX_PATH] = {};
    ASSERT_NE(0u, GetSystemDirectoryW(system, MAX_PATH));
    EXPECT_EQ(L"\"" + std::wstring(system) + L"\\cmd.exe\" /d /v:off /c \"\"C:\\T\\pelvar_uninstall.bat\"\"",
              CleanupCommandLine(L"C:\\T\\pelvar_uninstall.bat"));
    // The interpreter would run "<home path>\\pelvar_uninstall.bat" instead.
    EXPECT_EQ(L"", CleanupCommandLine(L"C:\\%HOMEPATH%\\pelvar_uninstall.bat"));
}

// Whether the access list allows everything to exactly the user, the administrators and the
// system, and nothing else, none of it inherited.
::testing::AssertionResult OnlyUserAdministratorsAndSystem(const ACL* acl)
{
    UniqueKernelHandle token;
    BYTE user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)] = {};
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {}, system[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof user, administratorsSize = sizeof administrators, systemSize = sizeof system;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) ||
        !GetTokenInformation(token.Get(), TokenUser, user, size, &size) ||
        !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &administratorsSize) ||
        !CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize))
        return ::testing::AssertionFailure() << "the SIDs to compare with could not be had";
    const PSID expected[] = {reinterpret_cast<TOKEN_USER*>(user)->User.Sid, administrators, system};
    if (!acl || acl->AceCount != 3)
        return ::testing::AssertionFailure() << (acl ? acl->AceCount : 0) << " entries";
    for (DWORD i = 0; i < 3; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!GetAce(const_cast<ACL*>(acl), i, reinterpret_cast<void**>(&ace)) ||
            ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->Header.AceFlags & INHERITED_ACE) ||
            ace->Mask != FILE_ALL_ACCESS || !EqualSid(&ace->SidStart, expected[i]))
            return ::testing::AssertionFailure() << "entry " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

TEST(CleanupBatch, IsWrittenIntoAFreshPrivateFolderOfItsOwn)
{
    // cmd.exe is disabled for this test program (see CMakeLists.txt): the batch must not run.
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Make(L"X"));
    ASSERT_TRUE(WriteBytes(scratch.At(L"X\\data.txt"), "x"));
    std::string ansi;
    ASSERT_TRUE(ExactAnsiPath::Encode(scratch.At(L"X"), ansi));
    const std::wstring first = WriteCleanupBatch(ansi.c_str());
    const std::wstring second = WriteCleanupBatch(ansi.c_str());
    const std::wstring folders[] = {first.substr(0, first.find_last_of(L'\\')),
                                    second.substr(0, second.find_last_of(L'\\'))};
    const std::wstring expectedStart = TempDirectory() + L"Harrowmere-uninstall-";
    EXPECT_NE(folders[0], folders[1]);
    for (const std::wstring& folder : folders) {
        EXPECT_EQ(expectedStart, folder.substr(0, expectedStart.size())) << Utf8(folder);
        EXPECT_EQ(std::vector<std::wstring>{L"pelvar_uninstall.bat"}, ListDirectory(folder));
    }
    EXPECT_EQ(FakeInstallation::ExpectedBatch(ansi), ReadBytes(first));
    EXPECT_EQ(std::vector<std::wstring>{L"data.txt"}, ListDirectory(scratch.At(L"X")));
    const std::vector<BYTE> list = PrivateTempFolder::AccessList();
    EXPECT_TRUE(OnlyUserAdministratorsAndSystem(list.empty() ? nullptr : reinterpret_cast<const ACL*>(list.data())));
    // Labelled with our own integrity level, so that unelevated processes cannot write into it.
    const std::vector<BYTE> label = PrivateTempFolder::IntegrityLabel();
    SYSTEM_MANDATORY_LABEL_ACE* mandatory = nullptr;
    ASSERT_FALSE(label.empty());
    ASSERT_EQ(1u, reinterpret_cast<const ACL*>(label.data())->AceCount);
    ASSERT_TRUE(GetAce(reinterpret_cast<ACL*>(const_cast<BYTE*>(label.data())), 0, reinterpret_cast<void**>(&mandatory)));
    EXPECT_EQ(SYSTEM_MANDATORY_LABEL_ACE_TYPE, mandatory->Header.AceType);
    EXPECT_EQ(static_cast<DWORD>(SYSTEM_MANDATORY_LABEL_NO_WRITE_UP), mandatory->Mask);
    BYTE level[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_MANDATORY_LABEL)] = {};
    DWORD levelSize = sizeof level;
    UniqueKernelHandle token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) &&
                GetTokenInformation(token.Get(), TokenIntegrityLevel, level, levelSize, &levelSize));
    EXPECT_TRUE(EqualSid(&mandatory->SidStart, reinterpret_cast<TOKEN_MANDATORY_LABEL*>(level)->Label.Sid));
    // Wine keeps no access lists of files (it makes one up from the Unix mode bits).
    if (!UnderWine()) {
        PACL acl = nullptr;
        UniqueHandle<NullHandleTraits<PSECURITY_DESCRIPTOR, &LocalFree>> descriptor;
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  GetNamedSecurityInfoW(folders[0].c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, &acl, nullptr, descriptor.Put()));
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        GetSecurityDescriptorControl(descriptor.Get(), &control, &revision);
        EXPECT_TRUE(control & SE_DACL_PROTECTED);
        EXPECT_TRUE(OnlyUserAdministratorsAndSystem(acl));
    }
    for (const std::wstring& folder : folders)
        if (folder.size() > expectedStart.size())
            RemoveTestTree(folder);
}

class UninstallEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
        // Only an entry that was not there before is this test's to remove afterwards.
        ASSERT_FALSE(FakeInstallation::EntryExists() || FakeInstallation::EntryExists(KEY_WOW64_64KEY))
            << "an Uninstall entry is left over from elsewhere";
        mine = true;
    }
    static void CreateKey(const std::wstring& path, REGSAM view)
    {
        UniqueRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | view, nullptr, key.Put(), nullptr));
        RegSetValueExW(key.Get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kProductTitle),
                       static_cast<DWORD>((wcslen(kProductTitle) + 1) * sizeof(wchar_t)));
    }
    void TearDown() override
    {
        if (!mine)
            return;
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            UniqueRegKey parent;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS | view, parent.Put()) ==
                ERROR_SUCCESS)
                RegDeleteTreeW(parent.Get(), kProductTitle);
        }
    }
    bool mine = false;
};

TEST_F(UninstallEntryTest, RemovesTheEntryOfThe32BitViewUnlessItHasSubkeys)
{
    CreateKey(FakeInstallation::EntryKey(), KEY_WOW64_32KEY);
    CreateKey(FakeInstallation::EntryKey(), KEY_WOW64_64KEY);
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_FALSE(FakeInstallation::EntryExists());
    // The 64-bit view is not where a 32-bit program looks; its namesake stays.
    EXPECT_TRUE(FakeInstallation::EntryExists(KEY_WOW64_64KEY));
    // A missing entry is no failure.
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_FALSE(FakeInstallation::EntryExists());
    // An entry with subkeys stays.
    CreateKey(FakeInstallation::EntryKey() + L"\\Extra", KEY_WOW64_32KEY);
    EXPECT_TRUE(RemoveUninstallEntry(kProductTitle));
    EXPECT_TRUE(FakeInstallation::EntryExists());
}

TEST(CompatibilityFlag, IsWrittenOnlyWhereTheKeyExists)
{
    HM_SKIP_UNLESS_DISPOSABLE_MACHINE();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // Only what this test makes is removed again: where the key is there already (it holds the
    // flags of other programs) the missing case cannot be tried.
    const std::wstring madeRoot = MissingKeyRoot(HKEY_CURRENT_USER, kPersistedKey);
    if (!madeRoot.empty()) {
        EXPECT_FALSE(SetCompatibilityFlag());
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kPersistedKey));
    }
    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kPersistedKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
    ASSERT_NE(ERROR_SUCCESS, RegQueryValueExW(key.Get(), self, nullptr, nullptr, nullptr, nullptr))
        << "a flag of this test program is left over from elsewhere";
    EXPECT_TRUE(SetCompatibilityFlag());
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key.Get(), self, nullptr, &type,
                                              reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1u, value);
    EXPECT_EQ(4u, size);
    RegDeleteValueW(key.Get(), self);
    key.Reset();
    if (!madeRoot.empty())
        RegDeleteTreeW(HKEY_CURRENT_USER, madeRoot.c_str());
}

}  // namespace
