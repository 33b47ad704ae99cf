#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>

#include "gameApp.h"

#include <cstdlib>

// A GUI program has no console for the library's own handler of an uncaught exception, which
// would print the exception's demangled type there: abort at once, and leave the demangler (a
// twentieth of the executable) out.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

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
