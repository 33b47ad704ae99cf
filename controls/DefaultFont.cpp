#include "DefaultFont.h"

Gdiplus::Font* MakeDefaultFont()
{
    // "宋体"
    static const wchar_t kSongTi[] = L"\u5b8b\u4f53";
    auto* font = new Gdiplus::Font(kSongTi, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    if (font->GetLastStatus() == Gdiplus::Ok) return font;
    delete font;
    const Gdiplus::FontFamily* family = Gdiplus::FontFamily::GenericSansSerif();
    return new Gdiplus::Font(family, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
}
