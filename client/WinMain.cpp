#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>

#include "CFrameBack.h"
#include "PicturePreload.h"
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
    // GDI+ first, so that the backdrop's pictures decode on a thread of their own while OLE
    // starts: the first frame then finds them ready.
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput input;
    const bool drawing = Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) == Gdiplus::Ok;
    {
        PicturePreload preload(drawing ? CFrameBack::FirstFramePictures() : std::vector<int>());
        if (OleInitialize(nullptr) == S_OK) {
            gameApp application;
            clientApp = &application;
            moduleInstance = nullptr;
            application.gdiplusToken = gdiplusToken;
            if (RegisterApp(&application)) {
                moduleInstance = GetModuleHandleW(nullptr);
                if (application.InitInstance() && !application.windows.empty()) application.Run();
                UnregisterApp(application.threadId);
            }
            clientApp = nullptr;
            OleUninitialize();
        }
    }
    if (drawing) Gdiplus::GdiplusShutdown(gdiplusToken);
    return 0;
}
