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
    path_ = TempDirectory() + name;
    created_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
}

TempFolder::~TempFolder()
{
    for (const std::wstring& file : files_) DeleteFileW((path_ + L"\\" + file).c_str());
    if (created_) RemoveDirectoryW(path_.c_str());
}

bool TempFolder::Write(const wchar_t* file, const std::string& bytes)
{
    const std::wstring path = path_ + L"\\" + file;
    const UniqueFileHandle h(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!h) return false;
    if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
    DWORD written = 0;
    return WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void TempFolder::Remove(const wchar_t* file)
{
    const auto it = std::find(files_.begin(), files_.end(), file);
    if (it == files_.end()) return;
    DeleteFileW((path_ + L"\\" + file).c_str());
    files_.erase(it);
}

}  // namespace client_test
