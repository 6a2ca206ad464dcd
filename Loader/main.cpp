// loader.exe: started by the shell with a demo's path, plays it in the game.
#include "dll_search.h"
#include "frmMain.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR argument, int showState)
{
    // Before any DLL is loaded on demand (the window DLLs are, see CMakeLists.txt).
    dravik::RestrictDllSearch();

    // Until the game has ended the loader calls no window functions, so it
    // has no window and no message queue, and a shell that waits for it to
    // be ready for input does not wait.
    return dravik::frmMain(instance, showState).Run(argument);
}
