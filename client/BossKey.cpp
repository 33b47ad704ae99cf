#include "BossKey.h"

#include <cwchar>
#include <cwctype>

#include "GameMessages.h"

namespace {

constexpr int kPathMax = 259;
constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;

const wchar_t* NamedKey(UINT vk)
{
    switch (vk) {
    case VK_BACK: return L"Backspace";
    case VK_TAB: return L"Tab";
    case VK_RETURN: return L"Enter";
    case VK_PAUSE: return L"Pause";
    case VK_ESCAPE: return L"Esc";
    case VK_SPACE: return L"Space";
    case VK_PRIOR: return L"PageUp";
    case VK_NEXT: return L"PageDown";
    case VK_END: return L"End";
    case VK_HOME: return L"Home";
    case VK_LEFT: return L"Left";
    case VK_UP: return L"Up";
    case VK_RIGHT: return L"Right";
    case VK_DOWN: return L"Down";
    case VK_SNAPSHOT: return L"PrintScreen";
    case VK_INSERT: return L"Insert";
    case VK_DELETE: return L"Delete";
    case VK_MULTIPLY: return L"Num*";
    case VK_ADD: return L"Num+";
    case VK_SUBTRACT: return L"Num-";
    case VK_DECIMAL: return L"Num.";
    case VK_DIVIDE: return L"Num/";
    case VK_OEM_1: return L";";
    case VK_OEM_PLUS: return L"=";
    case VK_OEM_COMMA: return L",";
    case VK_OEM_MINUS: return L"-";
    case VK_OEM_PERIOD: return L".";
    case VK_OEM_2: return L"/";
    case VK_OEM_3: return L"`";
    case VK_OEM_4: return L"[";
    case VK_OEM_5: return L"\\";
    case VK_OEM_6: return L"]";
    case VK_OEM_7: return L"'";
    default: return nullptr;
    }
}

}  // namespace

int BossKey::ParseInt(const wchar_t* text)
{
    if (!text) return 0;
    while (*text && std::iswspace(*text)) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        // Past the int range: keep it out of range without overflowing.
        if (value > 0x80000000LL) value = 0x80000000LL;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL;
    return static_cast<int>(value);
}

std::wstring BossKey::ConfigPath(const wchar_t* moduleDir)
{
    std::wstring path = moduleDir ? moduleDir : L"";
    path += L"\\Config.ini";
    // A path cut to fit would name another file; better none.
    if (path.size() > kPathMax) return std::wstring();
    return path;
}

bool BossKey::IsValidCombination(int mods, int vk)
{
    return mods != 0 && (static_cast<UINT>(mods) & ~kModifierMask) == 0 && vk >= 1 && vk <= 254;
}

std::wstring BossKey::KeyName(UINT mods, UINT vk)
{
    std::wstring name;
    if (mods & MOD_CONTROL) name += L"Ctrl+";
    if (mods & MOD_ALT) name += L"Alt+";
    if (mods & MOD_SHIFT) name += L"Shift+";
    if (mods & MOD_WIN) name += L"Win+";
    wchar_t buffer[16] = {};
    if ((vk >= L'A' && vk <= L'Z') || (vk >= L'0' && vk <= L'9')) {
        buffer[0] = static_cast<wchar_t>(vk);
    } else if (vk >= VK_F1 && vk <= VK_F24) {
        // The system's formatter: the C library's would add its whole printf to the program.
        wsprintfW(buffer, L"F%u", vk - VK_F1 + 1);
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        wsprintfW(buffer, L"Num%u", vk - VK_NUMPAD0);
    } else if (const wchar_t* named = NamedKey(vk)) {
        lstrcpynW(buffer, named, 16);
    } else {
        wsprintfW(buffer, L"0x%02X", vk);
    }
    return name + buffer;
}

void BossKey::ReadConfig(const wchar_t* moduleDir)
{
    fsModifiers = 0;
    vkCode = 0;
    const std::wstring path = ConfigPath(moduleDir);
    if (!path.empty()) {
        wchar_t text[64] = {};
        GetPrivateProfileStringW(L"Common", L"fsModifiers", L"", text, 64, path.c_str());
        fsModifiers = ParseInt(text);
        text[0] = L'\0';
        GetPrivateProfileStringW(L"Common", L"vkCode", L"", text, 64, path.c_str());
        vkCode = ParseInt(text);
    }
    if (IsValidCombination(fsModifiers, vkCode)) {
        modifiers = static_cast<UINT>(fsModifiers);
        key = static_cast<UINT>(vkCode);
    } else {
        modifiers = kDefaultModifiers;
        key = kDefaultKey;
    }
}

bool BossKey::Register(HWND window)
{
    if (registered) {
        UnregisterHotKey(window, HOTKEY_BOSS);
        registered = false;
    }
    if (RegisterHotKey(window, HOTKEY_BOSS, modifiers, key)) {
        registered = true;
        registeredModifiers = modifiers;
        registeredKey = key;
    } else if ((modifiers != kDefaultModifiers || key != kDefaultKey) &&
               RegisterHotKey(window, HOTKEY_BOSS, kDefaultModifiers, kDefaultKey)) {
        registered = true;
        registeredModifiers = kDefaultModifiers;
        registeredKey = kDefaultKey;
    }
    return registered;
}

std::wstring BossKey::MenuLabel() const
{
    if (!registered) return L"老板键(不可用)";
    return L"老板键(" + KeyName(registeredModifiers, registeredKey) + L")";
}
