// Dravik.exe: the setup tool, run once to find the game and register demos.
#include "dll_search.h"
#include "frmMain.h"

#include <objbase.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showState)
{
    dravik::RestrictDllSearch();

    // The text box's path completion is a COM object.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int exitCode = dravik::frmMain(instance).Run(showState);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
