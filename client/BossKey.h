#pragma once
#include <windows.h>

#include <string>

// The boss key: which key combination to register (from "Config.ini" beside the program, or
// Alt+D), registering it for the game window, and the tools-menu row that names it.
class BossKey {
public:
    static constexpr UINT kDefaultModifiers = MOD_ALT;
    static constexpr UINT kDefaultKey = 0x44;  // 'D'

    // Decimal text to integer as _wtoi reads it: leading white space and a sign allowed, digits
    // up to the first other character; empty or non-numeric text gives 0.
    static int ParseInt(const wchar_t* text);
    // "%s\%s" of moduleDir and "Config.ini"; empty when it would not fit in 259 characters.
    static std::wstring ConfigPath(const wchar_t* moduleDir);
    // True when both values are given, nonzero and usable: modifiers only among Alt, Ctrl,
    // Shift and Win; a virtual-key code from 1 to 254.
    static bool IsValidCombination(int modifiers, int vk);
    // "Ctrl+Shift+F12", "Alt+D": the modifiers in the order Ctrl, Alt, Shift, Win, then the key.
    static std::wstring KeyName(UINT modifiers, UINT vk);

    // Reads fsModifiers and vkCode of section "Common" (0 for anything absent or unreadable) and
    // chooses the combination to register from them.
    void ReadConfig(const wchar_t* moduleDir);
    // Registers the chosen combination as hot key HOTKEY_BOSS for window, falling back to
    // Alt+D when it is taken; false when no key could be registered at all.
    bool Register(HWND window);
    // The tools-menu row: "老板键(Alt+D)" for the key registered, or a note that there is none.
    std::wstring MenuLabel() const;

    int fsModifiers = 0;  // as read from the file
    int vkCode = 0;
    UINT modifiers = kDefaultModifiers;  // the combination chosen from them
    UINT key = kDefaultKey;
    bool registered = false;
    UINT registeredModifiers = 0;  // what is actually registered
    UINT registeredKey = 0;
};
