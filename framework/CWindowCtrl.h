#pragma once
#include <windows.h>

class CAppManager;

// Base of every window object: creates its window through the framework, is bound to it at
// WM_NCCREATE and receives its messages through WindowProc.
class CWindowCtrl {
public:
    CWindowCtrl();
    CWindowCtrl(const CWindowCtrl&) = delete;
    CWindowCtrl& operator=(const CWindowCtrl&) = delete;
    virtual ~CWindowCtrl();

    virtual HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                        const RECT* rect, HWND parent);
    virtual HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                        int x, int y, int width, int height, HWND parent);
    virtual INT_PTR DoModal(const wchar_t* templateName, HWND parent);
    virtual void SetClassName(const wchar_t* name);
    virtual int PreTranslateMessage(MSG* msg);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnCreate(CREATESTRUCTW* cs);
    virtual void OnDestroy();
    virtual void OnMove(int x, int y);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnWindowPosChanging(WINDOWPOS* pos);
    virtual LRESULT OnNcHitTest(POINT screenPoint);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSetCursor(HWND hwnd);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Show(int cmdShow);

    HWND hwnd = nullptr;
    CAppManager* app = nullptr;
    INT_PTR dialogResult = 0;
    wchar_t className[64] = {};
};
