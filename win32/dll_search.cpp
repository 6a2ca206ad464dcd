#include "win32/dll_search.h"

#include "win32/system_function.h"

// Windows XP's headers lack it.
#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace dravik {

namespace {

// Whether RestrictDllSearch changed the search with SetDllDirectoryW.
bool g_dllDirectorySet = false;

}  // namespace

void RestrictDllSearch()
{
    // Windows 8 and later, and Windows 7 with its security updates, have it.
    using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
    auto setDefault = SystemFunction<SetDefaultDllDirectoriesFunction>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // Older systems: at least take the current folder out of the search.
    g_dllDirectorySet = SetDllDirectoryW(L"") != FALSE;
}

DefaultDllSearch::DefaultDllSearch()
{
    if (g_dllDirectorySet) {
        SetDllDirectoryW(nullptr);
    }
}

DefaultDllSearch::~DefaultDllSearch()
{
    if (g_dllDirectorySet) {
        SetDllDirectoryW(L"");
    }
}

}  // namespace dravik
