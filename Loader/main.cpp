// loader.exe: started by the shell with a demo's path, plays it in the game.
#include "dll_search.h"
#include "frmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argument, int showState)
{
    dravik::RestrictDllSearch();

    // The shell waits until a program it started is ready for input. This
    // one shows nothing while the game runs, so it says so now.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);

    return dravik::frmMain(instance, showState).Run(argument);
}
