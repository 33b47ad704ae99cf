#pragma once
#include <string>
#include <vector>

// Symbolic links and drive letters made under Wine for a test, and removed again (only the links
// themselves) when the holder goes. Wine reports a Unix symbolic link as a directory carrying
// FILE_ATTRIBUTE_REPARSE_POINT and resolves it like a Windows one; it cannot make Windows
// junctions or symbolic links itself. Works only under Wine; Available() says whether.
class WineLinks {
public:
    WineLinks() = default;
    ~WineLinks();
    WineLinks(const WineLinks&) = delete;
    WineLinks& operator=(const WineLinks&) = delete;

    static bool Available();
    // A link at linkPath (which must not exist) to the directory target (Windows paths).
    bool Link(const std::wstring& linkPath, const std::wstring& target);
    // Maps a free drive letter (none of the prefix's own) to the directory; returns "X:" or
    // empty when no letter could be mapped.
    std::wstring MapDrive(const std::wstring& directory);

private:
    bool MakeUnixLink(const std::string& unixLink, const std::string& unixTarget,
                      const std::wstring& visibleAs);
    std::vector<std::string> made;  // Unix paths of the links, removed in reverse order
};
