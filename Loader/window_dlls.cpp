#include "window_dlls.h"

#include <windows.h>

#include <initializer_list>

namespace dravik {

void LoadWindowDlls()
{
    // Loaded for the rest of the loader's short life, never freed. A DLL
    // that fails to load here fails again at its first call, where the
    // delay-load failure hook reports it on standard error and in the exit
    // status, and ends the loader (runtime/delay_load_failure.cpp).
    for (const wchar_t* dll : {L"user32.dll", L"gdi32.dll", L"comctl32.dll"}) {
        LoadLibraryW(dll);
    }
}

}  // namespace dravik
