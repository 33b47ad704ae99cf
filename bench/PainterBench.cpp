// Times the painter's redraw paths:
//  1. a full layered redraw (UpdateLayered) of a 1154 x 704 window with one full-size picture
//     and six buttons, against only pushing an already rendered surface of the same size;
//  2. a hover-change repaint of an ordinary 1020 x 704 window, against a full repaint of it.
#include "CAppManager.h"
#include "CImageButton.h"
#include "CImageCtrl.h"
#include "CImageStatic.h"
#include "CLayeredSurface.h"

#include <gdiplus.h>

#include <cstdio>
#include <functional>

namespace {
enum { kBackdrop = 301, kNormal = 302, kHover = 303, kPressed = 304 };

double Milliseconds(const std::function<void()>& work, int rounds)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    work();  // warm-up: first decode, first conversion, first surface
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) work();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart) / rounds;
}

void AddSixButtons(CImagePaint& painter, int top)
{
    for (int i = 0; i < 6; ++i) {
        const int left = 100 + i * 120;  // adjacent, so the pointer can hop between them
        CImageButton* b =
            painter.AddButton(1001 + i, RECT{left, top, left + 120, top + 40}, 0, kNormal, kHover,
                              kPressed, 0);
        b->SetText(L"Button");
    }
}

void PumpQueued()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
}  // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 1;
    moduleInstance = GetModuleHandleW(nullptr);
    CAppManager app;
    RegisterApp(&app);
    const int rounds = 40;

    double layeredFull = 0, layeredPush = 0, hoverRepaint = 0, fullRepaint = 0;
    {
        CImageCtrl window;
        window.Create(0, nullptr, L"bench layered", WS_POPUP | WS_VISIBLE, 0, 0, 1154, 704,
                      nullptr);
        window.painter.AddStatic(RECT{0, 0, 1154, 704}, kBackdrop, 1007, false);
        AddSixButtons(window.painter, 600);
        window.painter.EnableLayered();
        PumpQueued();
        layeredFull = Milliseconds([&] { window.painter.UpdateLayered(); }, rounds);

        CLayeredSurface surface(window.hwnd);
        window.painter.DrawElements(*surface.Graphics(), nullptr);
        UpdateLayeredWindowFn push = LookUpUpdateLayeredWindow();
        layeredPush = Milliseconds([&] { surface.Push(push, window.hwnd, 255); }, rounds);
        DestroyWindow(window.hwnd);
    }
    {
        CImageCtrl window;
        window.Create(0, nullptr, L"bench ordinary", WS_POPUP | WS_VISIBLE, 0, 0, 1020, 704,
                      nullptr);
        window.painter.AddStatic(RECT{0, 0, 1020, 704}, kBackdrop, 1007, false);
        AddSixButtons(window.painter, 600);
        UpdateWindow(window.hwnd);
        PumpQueued();
        int hop = 0;
        hoverRepaint = Milliseconds(
            [&] {
                const int x = 100 + 60 + (hop++ % 2) * 120;
                SendMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, 620));
                UpdateWindow(window.hwnd);
            },
            rounds);
        fullRepaint = Milliseconds(
            [&] {
                InvalidateRect(window.hwnd, nullptr, TRUE);
                UpdateWindow(window.hwnd);
            },
            rounds);
        DestroyWindow(window.hwnd);
    }
    PumpQueued();

    std::printf("layered 1154x704, full redraw (UpdateLayered): %8.3f ms\n", layeredFull);
    std::printf("layered 1154x704, push of a rendered surface:  %8.3f ms\n", layeredPush);
    std::printf("ratio full redraw / push only:                 %8.2f\n",
                layeredPush > 0 ? layeredFull / layeredPush : 0.0);
    std::printf("ordinary 1020x704, hover-change repaint:       %8.3f ms\n", hoverRepaint);
    std::printf("ordinary 1020x704, full repaint:               %8.3f ms\n", fullRepaint);
    std::printf("ratio hover repaint / full repaint:            %8.2f\n",
                fullRepaint > 0 ? hoverRepaint / fullRepaint : 0.0);
    std::fflush(stdout);

    UnregisterApp(GetCurrentThreadId());
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
