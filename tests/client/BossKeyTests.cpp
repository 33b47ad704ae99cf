// Choosing, registering and naming the boss key, from "Config.ini" files on disk.
#include "BossKey.h"
#include "CImageButton.h"
#include "CImageItem.h"
#include "GameMessages.h"
#include "GameViewTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::wstring TempDir(const wchar_t* name)
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;  // no trailing backslash
}

void WriteConfig(const std::wstring& dir, const char* text)
{
    const std::wstring path = dir + L"\\Config.ini";
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(h);
}

HWND PlainWindow()
{
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(BossKey, ParsesNumbersLikeWtoi)
{
    EXPECT_EQ(BossKey::ParseInt(L"6"), 6);
    EXPECT_EQ(BossKey::ParseInt(L"  \t123"), 123);
    EXPECT_EQ(BossKey::ParseInt(L"-3"), -3);
    EXPECT_EQ(BossKey::ParseInt(L"+7x"), 7);
    EXPECT_EQ(BossKey::ParseInt(L"0x44"), 0);
    EXPECT_EQ(BossKey::ParseInt(L"abc"), 0);
    EXPECT_EQ(BossKey::ParseInt(L""), 0);
    EXPECT_EQ(BossKey::ParseInt(nullptr), 0);
    EXPECT_EQ(BossKey::ParseInt(L"99999999999999999999"), 0x7FFFFFFF);
}

TEST(BossKey, OnlyModifiersAndKeysInRangeAreUsable)
{
    EXPECT_TRUE(BossKey::IsValidCombination(MOD_ALT, 0x44));
    EXPECT_TRUE(BossKey::IsValidCombination(MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN, 254));
    EXPECT_TRUE(BossKey::IsValidCombination(MOD_CONTROL, 1));
    EXPECT_FALSE(BossKey::IsValidCombination(0, 0x44));
    EXPECT_FALSE(BossKey::IsValidCombination(MOD_ALT, 0));
    EXPECT_FALSE(BossKey::IsValidCombination(MOD_ALT, 255));
    EXPECT_FALSE(BossKey::IsValidCombination(MOD_ALT, -68));
    EXPECT_FALSE(BossKey::IsValidCombination(0x4000 | MOD_ALT, 0x44));
    EXPECT_FALSE(BossKey::IsValidCombination(16, 0x44));
    EXPECT_FALSE(BossKey::IsValidCombination(-1, 0x44));
}

TEST(BossKey, KeyNames)
{
    EXPECT_EQ(BossKey::KeyName(MOD_ALT, 'D'), L"Alt+D");
    EXPECT_EQ(BossKey::KeyName(MOD_CONTROL | MOD_SHIFT, VK_F12), L"Ctrl+Shift+F12");
    EXPECT_EQ(BossKey::KeyName(MOD_WIN | MOD_ALT | MOD_CONTROL, '7'), L"Ctrl+Alt+Win+7");
    EXPECT_EQ(BossKey::KeyName(MOD_SHIFT, VK_NUMPAD3), L"Shift+Num3");
    EXPECT_EQ(BossKey::KeyName(MOD_ALT, VK_SPACE), L"Alt+Space");
    EXPECT_EQ(BossKey::KeyName(MOD_ALT, 0xE5), L"Alt+0xE5");
}

TEST(BossKey, ConfiguredKeysFromConfigIni)
{
    const std::wstring dir = TempDir(L"hm_bosskey");
    struct Case {
        const char* file;  // null: no file
        int fsModifiers, vkCode;
        UINT modifiers, key;
    } cases[] = {
        {"[Common]\r\nfsModifiers=6\r\nvkCode=123\r\n", 6, 123, 6, VK_F12},
        {"[Common]\r\nfsModifiers= 3\r\nvkCode=+0081\r\n", 3, 81, 3, 'Q'},
        {"[Common]\r\nfsModifiers=0\r\nvkCode=0\r\n", 0, 0, MOD_ALT, 'D'},
        {"[Common]\r\nfsModifiers=2\r\nvkCode=0\r\n", 2, 0, MOD_ALT, 'D'},
        {"[Common]\r\nfsModifiers=ctrl\r\nvkCode=F12\r\n", 0, 0, MOD_ALT, 'D'},
        {"[Common]\r\nfsModifiers=32\r\nvkCode=65\r\n", 32, 65, MOD_ALT, 'D'},
        {"[Common]\r\nfsModifiers=1\r\nvkCode=300\r\n", 1, 300, MOD_ALT, 'D'},
        {"[Other]\r\nfsModifiers=6\r\nvkCode=123\r\n", 0, 0, MOD_ALT, 'D'},
        {"[Common]\r\nvkCode=123\r\n", 0, 123, MOD_ALT, 'D'},
        {nullptr, 0, 0, MOD_ALT, 'D'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        DeleteFileW((dir + L"\\Config.ini").c_str());
        if (c.file) WriteConfig(dir, c.file);
        BossKey key;
        key.ReadConfig(dir.c_str());
        EXPECT_EQ(key.fsModifiers, c.fsModifiers);
        EXPECT_EQ(key.vkCode, c.vkCode);
        EXPECT_EQ(key.modifiers, c.modifiers);
        EXPECT_EQ(key.key, c.key);
    }
    // The directory is joined with a backslash of its own; one already there does no harm.
    WriteConfig(dir, "[Common]\r\nfsModifiers=2\r\nvkCode=70\r\n");
    BossKey withSlash;
    withSlash.ReadConfig((dir + L"\\").c_str());
    EXPECT_EQ(withSlash.key, static_cast<UINT>('F'));
    EXPECT_EQ(BossKey::ConfigPath(L"C:\\Games\\Harrowmere"), L"C:\\Games\\Harrowmere\\Config.ini");
    // A directory so long that the path would be cut reads nothing rather than another file.
    const std::wstring longDir(250, L'a');
    EXPECT_TRUE(BossKey::ConfigPath(longDir.c_str()).empty());
    EXPECT_EQ(BossKey::ConfigPath(std::wstring(248, L'b').c_str()).size(), 259u);
    BossKey tooLong;
    tooLong.ReadConfig(longDir.c_str());
    EXPECT_EQ(tooLong.modifiers, static_cast<UINT>(MOD_ALT));
    DeleteFileW((dir + L"\\Config.ini").c_str());
    RemoveDirectoryW(dir.c_str());
}

TEST(BossKey, RegistersTheChosenKeyFallsBackToAltDAndSaysWhenThereIsNone)
{
    const std::wstring dir = TempDir(L"hm_bosskey_reg");
    WriteConfig(dir, "[Common]\r\nfsModifiers=6\r\nvkCode=123\r\n");
    HWND game = PlainWindow();
    HWND other = PlainWindow();
    {
        BossKey key;
        key.ReadConfig(dir.c_str());
        ASSERT_TRUE(key.Register(game));
        EXPECT_EQ(key.MenuLabel(), L"老板键(Ctrl+Shift+F12)");
        // Taken now: another window cannot have it.
        EXPECT_FALSE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_SHIFT, VK_F12));
        UnregisterHotKey(game, HOTKEY_BOSS);
    }
    {
        // The configured key belongs to someone else: Alt+D.
        ASSERT_TRUE(RegisterHotKey(other, 1, MOD_CONTROL | MOD_SHIFT, VK_F12));
        BossKey key;
        key.ReadConfig(dir.c_str());
        ASSERT_TRUE(key.Register(game));
        EXPECT_EQ(key.registeredModifiers, static_cast<UINT>(MOD_ALT));
        EXPECT_EQ(key.registeredKey, 0x44u);
        EXPECT_EQ(key.MenuLabel(), L"老板键(Alt+D)");
        UnregisterHotKey(game, HOTKEY_BOSS);
        // And Alt+D too: the row says there is no boss key.
        ASSERT_TRUE(RegisterHotKey(other, 2, MOD_ALT, 0x44));
        BossKey none;
        none.ReadConfig(dir.c_str());
        EXPECT_FALSE(none.Register(game));
        EXPECT_FALSE(none.registered);
        EXPECT_EQ(none.MenuLabel(), L"老板键(不可用)");
        UnregisterHotKey(other, 1);
        UnregisterHotKey(other, 2);
    }
    DestroyWindow(game);
    DestroyWindow(other);
    DeleteFileW((dir + L"\\Config.ini").c_str());
    RemoveDirectoryW(dir.c_str());
}

TEST(BossKey, ToolsMenuRowNamesTheRegisteredKey)
{
    gameview_test::GameWindow w;
    ASSERT_TRUE(w.Open());
    w.bossKey.modifiers = MOD_CONTROL | MOD_ALT;
    w.bossKey.key = 'B';
    w.EnterGameView();
    w.tools.Open(w.hwnd);
    ASSERT_EQ(w.toolsMenu.list.items.size(), 3u);
    EXPECT_STREQ(w.toolsMenu.list.items[2]->buttons[0]->text, L"老板键(Ctrl+Alt+B)");
}
