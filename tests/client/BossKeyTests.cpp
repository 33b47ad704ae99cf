// Choosing, registering and naming the boss key, from "Config.ini" files on disk.
#include "BossKey.h"
#include "CImageItem.h"
#include "ClientTestUtil.h"
#include "ScratchFolder.h"
#include "gameApp.h"

#include <string>

using namespace client_test;

TEST(BossKey, ParsesNumbersLikeWtoiUsesOnlyModifiersAndKeysInRangeAndNamesKeys)
{
    const std::pair<const wchar_t*, int> cases[] = {
        {L"6", 6}, {L"  \t123", 123}, {L"-3", -3}, {L"+7x", 7}, {L"0x44", 0}, {L"abc", 0}, {L"", 0},
        {nullptr, 0}, {L"99999999999999999999", 0x7FFFFFFF}};
    for (const auto& c : cases)
        EXPECT_EQ(BossKey::ParseInt(c.first), c.second) << (c.first ? c.first : L"(null)");

    const struct {
        int modifiers, key;
        bool usable;
    } combinations[] = {
        {MOD_ALT, 0x44, true},  {MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN, 254, true},
        {MOD_CONTROL, 1, true}, {0, 0x44, false}, {MOD_ALT, 0, false}, {MOD_ALT, 255, false},
        {MOD_ALT, -68, false},  {0x4000 | MOD_ALT, 0x44, false}, {16, 0x44, false}, {-1, 0x44, false}};
    for (const auto& c : combinations)
        EXPECT_EQ(BossKey::IsValidCombination(c.modifiers, c.key), c.usable) << c.modifiers << "+" << c.key;

    EXPECT_EQ(BossKey::KeyName(MOD_ALT, 'D'), L"Alt+D");
    EXPECT_EQ(BossKey::KeyName(MOD_CONTROL | MOD_SHIFT, VK_F12), L"Ctrl+Shift+F12");
    EXPECT_EQ(BossKey::KeyName(MOD_WIN | MOD_ALT | MOD_CONTROL, '7'), L"Ctrl+Alt+Win+7");
    EXPECT_EQ(BossKey::KeyName(MOD_SHIFT, VK_NUMPAD3), L"Shift+Num3");
    EXPECT_EQ(BossKey::KeyName(MOD_ALT, VK_SPACE), L"Alt+Space");
    EXPECT_EQ(BossKey::KeyName(MOD_ALT, 0xE5), L"Alt+0xE5");
}

TEST(BossKey, ConfiguredKeysFromConfigIni)
{
    ScratchFolder folder;
    const std::wstring& dir = folder.Path();
    const std::wstring config = folder.At(L"Config.ini");
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
        DeleteFileW(config.c_str());
        if (c.file) {
            ASSERT_TRUE(WriteBytes(config, c.file));
        }
        BossKey key;
        key.ReadConfig(dir.c_str());
        EXPECT_EQ(key.fsModifiers, c.fsModifiers);
        EXPECT_EQ(key.vkCode, c.vkCode);
        EXPECT_EQ(key.modifiers, c.modifiers);
        EXPECT_EQ(key.key, c.key);
    }
    // The directory is joined with a backslash of its own; one already there does no harm.
    ASSERT_TRUE(WriteBytes(config, "[Common]\r\nfsModifiers=2\r\nvkCode=70\r\n"));
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
}

TEST(BossKey, RegistersTheChosenKeyFallsBackToAltDAndSaysWhenThereIsNone)
{
    ScratchFolder folder;
    const std::wstring& dir = folder.Path();
    ASSERT_TRUE(WriteBytes(folder.At(L"Config.ini"), "[Common]\r\nfsModifiers=6\r\nvkCode=123\r\n"));
    HWND game = CreateTestWindow(L"BossKeyTestWindow", WS_POPUP, 0, 0, 10, 10, nullptr);
    HWND other = CreateTestWindow(L"BossKeyTestWindow", WS_POPUP, 0, 0, 10, 10, nullptr);
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
}

TEST(BossKey, GameViewRegistersTheKeyOfTheProgramsConfigAndNamesIt)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder.At(L"Config.ini"), "[Common]\r\nfsModifiers=3\r\nvkCode=66\r\n"));
    wchar_t savedDir[260] = {};
    wcscpy(savedDir, clientApp->moduleDir);
    wcscpy(clientApp->moduleDir, folder.Path().c_str());
    GameWindows w;
    ASSERT_TRUE(w.created);
    // The start-up view has no boss key: the game view registers it.
    EXPECT_TRUE(RegisterHotKey(w.Game(), HOTKEY_BOSS + 1, MOD_CONTROL | MOD_ALT, 'B'));
    UnregisterHotKey(w.Game(), HOTKEY_BOSS + 1);
    const bool shown = w.EnterGameViewShown();
    wcscpy(clientApp->moduleDir, savedDir);
    ASSERT_TRUE(shown);
    EXPECT_FALSE(RegisterHotKey(w.Game(), HOTKEY_BOSS + 1, MOD_CONTROL | MOD_ALT, 'B'));
    w.game->tools.Open(w.Game());
    ASSERT_EQ(w.game->toolsMenu.list.items.size(), 3u);
    EXPECT_STREQ(w.game->toolsMenu.list.items[2]->buttons[0]->text, L"老板键(Ctrl+Alt+B)");
}
