#pragma once
#include <functional>

// Hands web addresses to the user's default browser. Addresses chosen by a web page reach the
// shell only when they are http or https: "open" of a file: address or a bare path would start
// a local program.
namespace web_links {

// True for an address whose scheme is http or https (letters in any case).
bool IsWebAddress(const wchar_t* address);

// ShellExecuteW(no window, "open", address, no parameters, no directory, SW_SHOW) for web
// addresses; false, and nothing started, for anything else.
bool OpenInBrowser(const wchar_t* address);

// The shell call behind OpenInBrowser; tests replace it to observe what would be opened.
using ShellOpenFn = std::function<void(const wchar_t* address)>;
void SetShellOpen(ShellOpenFn fn);  // an empty function restores ShellExecuteW

}  // namespace web_links
