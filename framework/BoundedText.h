#pragma once
#include <cstddef>

// Copies text into a buffer of count characters: cut to count - 1 characters and always
// terminated; null text leaves an empty string.
inline void CopyBoundedText(wchar_t* buffer, size_t count, const wchar_t* text)
{
    if (!buffer || count == 0) return;
    size_t n = 0;
    if (text) {
        while (n + 1 < count && text[n]) {
            buffer[n] = text[n];
            ++n;
        }
    }
    buffer[n] = L'\0';
}

template <size_t N>
void CopyBoundedText(wchar_t (&buffer)[N], const wchar_t* text)
{
    CopyBoundedText(buffer, N, text);
}
