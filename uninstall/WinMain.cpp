#include <windows.h>

#include "UninstallFlow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return UninstallFlow::Run();
}
