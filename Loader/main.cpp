// loader.exe: started by the shell with a demo's path, plays it in the game.
#include "frmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argument, int showState)
{
    // The DLL search is restricted before this runs (runtime/stack_guard.cpp),
    // so the window DLLs, loaded on demand (see CMakeLists.txt), come from
    // the system folder.
    //
    // Until the game has ended the loader calls no window functions, so it
    // has no window and no message queue, and a shell that waits for it to
    // be ready for input does not wait.
    return dravik::frmMain(instance, showState).Run(argument);
}
