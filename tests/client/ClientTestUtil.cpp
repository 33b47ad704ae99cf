#include "ClientTestUtil.h"

#include <algorithm>

#include "GuiTestEnvironment.h"
#include "gameApp.h"

namespace {
// The client's application object on the test thread, as the program entry leaves it. No
// operator site runs here: the pages stay blank.
const bool clientAppInstalled = [] {
    static gameApp app;
    wcscpy(app.startUrl, L"about:blank");
    clientApp = &app;
    return testing_support::GuiTestEnvironment::Install(app);
}();
}  // namespace

namespace client_test {

TempFolder::TempFolder(const wchar_t* name)
{
    path = TempDirectory() + name;
    created = CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

TempFolder::~TempFolder()
{
    for (const std::wstring& file : files) DeleteFileW((path + L"\\" + file).c_str());
    if (created) RemoveDirectoryW(path.c_str());
}

bool TempFolder::Write(const wchar_t* file, const std::string& bytes)
{
    const std::wstring full = path + L"\\" + file;
    const UniqueFileHandle h(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!h) return false;
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    DWORD written = 0;
    return WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void TempFolder::Remove(const wchar_t* file)
{
    const auto it = std::find(files.begin(), files.end(), file);
    if (it == files.end()) return;
    DeleteFileW((path + L"\\" + file).c_str());
    files.erase(it);
}

}  // namespace client_test
