#pragma once
#include <string>

// The clean-up batch file and the shell call that starts it take the installation directory in
// the ANSI code page, and the command interpreter reads the batch lines in the OEM code page.
// A character either page cannot hold would come out as '?' or, through a best-fit mapping, as
// some other letter, and the batch would then delete a different directory. This finds a byte
// form that names exactly the given directory in both pages (the long name, else its short
// name), or reports that there is none.
class ExactAnsiPath {
public:
    // True with the bytes in ansi (at most 259 bytes) when one exists.
    static bool Find(const std::wstring& directory, std::string& ansi);

    // Converts without best-fit; true when every character survives the way back through both
    // code pages unchanged.
    static bool Encode(const std::wstring& path, std::string& ansi);

    // The directory the bytes name in the ANSI code page; empty when they are not valid there.
    static std::wstring Decode(const std::string& ansi);
};
