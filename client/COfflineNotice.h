#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <string>

#include "CImageCtrl.h"
#include "UniqueHandle.h"

// NavigateError status codes that mean the operator's server could not be reached at all, from
// the platform's INET_E_* list. Everything else (HTTP statuses of a page the server answered,
// INET_E_CANNOT_INSTANTIATE_OBJECT 0x800C0010 that an engine without HTML support reports for
// every page it fetched, a security or protocol refusal) leaves the page to the control.
//   0x800C0004 INET_E_CANNOT_CONNECT      connection refused, no route to the host
//   0x800C0005 INET_E_RESOURCE_NOT_FOUND  host name not resolved, server not found
//   0x800C0007 INET_E_DATA_NOT_AVAILABLE  connection closed before any data came
//   0x800C0008 INET_E_DOWNLOAD_FAILURE    connection reset or broken off while loading
//   0x800C000B INET_E_CONNECTION_TIMEOUT  no answer in time
bool IsConnectionError(long status);
// Seconds until the automatic retry after the given number of connection failures in a row
// (1 for the first): 5, 15, 30, then every 60.
int RetryDelaySeconds(int failures);
// The line under the headline: the count-down, or the retry under way (seconds 0).
std::wstring OfflineStatusLine(int seconds);

// The client's own notice over the page area when the top-level navigation cannot reach the
// server: the page window is hidden while it shows, retries run by themselves on a count-down,
// and the "重试" button retries at once. A child of the game window, so it serves both views and
// never activates anything of its own.
class COfflineNotice : public CImageCtrl {
public:
    static constexpr const wchar_t* kClassName = L"pelvar_offline";
    static constexpr const wchar_t* kHeadline = L"无法连接到游戏服务器";
    static constexpr int kPanelWidth = 400;
    static constexpr int kPanelHeight = 240;
    static constexpr int kPanelPicture = 235;
    static constexpr int kRetryNormal = 236;
    static constexpr int kRetryHover = 237;
    static constexpr int kPanelKey = 1020;
    static constexpr int kRetryId = 1021;
    static constexpr UINT_PTR kTickTimer = 5570;
    // Inside the panel picture: the count-down line's middle and the retry button's well.
    static constexpr int kStatusLineY = 158;
    static constexpr RECT kRetryRect = {152, 180, 248, 214};
    static constexpr Gdiplus::ARGB kBackColor = 0xFF23373C;

    COfflineNotice();
    ~COfflineNotice() override;

    // Creates the hidden notice as a child of parent, to be laid over page (borrowed).
    bool CreateOver(HWND parent, HWND pageWindow);
    // A top-level navigation ended with this status (S_OK when it completed). A connection-class
    // status shows the notice and schedules the next retry; any other gives the page back.
    // True when the notice is up afterwards.
    bool OnNavigationEnded(const wchar_t* url, long status);
    // Navigates to the failed address again now.
    void RetryNow();
    // Takes the page window's place again (after the owner moved or sized it).
    void FollowPage();
    bool Showing() const;
    // Whole seconds until the automatic retry, rounded up; 0 while a retry is under way.
    int SecondsLeft() const;

    void OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    bool OnButtonClick(CImageButton* button) override;
    void OnDrawOverlay(Gdiplus::Graphics& g) override;

    // Navigates the control; bound by the owner.
    std::function<void(const wchar_t* url)> retry;
    std::wstring failedUrl;
    int failures = 0;  // connection failures in a row
    bool retrying = false;
    ULONGLONG retryAt = 0;
    int shownSeconds = -1;
    HWND page = nullptr;  // borrowed: the owner's page window
    POINT panel = {};     // the panel's top-left corner in the client area
    GdipPtr<Gdiplus::Font> font;
    GdipPtr<Gdiplus::SolidBrush> textBrush;

private:
    void Show();
    void Hide();
    // Window text and the drawn status line follow the count-down.
    void UpdateStatus();
    RECT StatusRect() const;
};
