#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>

#include "gameApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    if (OleInitialize(nullptr) != S_OK) return 0;
    {
        gameApp application;
        clientApp = &application;
        moduleInstance = nullptr;
        if (RegisterApp(&application)) {
            moduleInstance = GetModuleHandleW(nullptr);
            Gdiplus::GdiplusStartupInput input;
            Gdiplus::GdiplusStartup(&application.gdiplusToken, &input, nullptr);
            if (application.InitInstance() && !application.windows.empty()) application.Run();
            UnregisterApp(application.threadId);
            Gdiplus::GdiplusShutdown(application.gdiplusToken);
        }
        clientApp = nullptr;
    }
    OleUninitialize();
    return 0;
}
