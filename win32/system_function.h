// Functions that only newer Windows versions have, looked up at run time so
// that the programs still start on the older ones.
#pragma once

#include <windows.h>

namespace dravik {

// The function from an already loaded system DLL, or null where it is missing.
template <typename Function>
Function* SystemFunction(const wchar_t* module, const char* name)
{
    const HMODULE handle = GetModuleHandleW(module);
    if (handle == nullptr) {
        return nullptr;
    }
    // FARPROC stands for any function; going through void* keeps compilers quiet.
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// The function from a system DLL, loaded from the system folder if it is not
// loaded yet, never from anywhere else (a planted copy); null where Windows
// cannot restrict the search so (before 8, and 7 without its updates) or
// where the DLL or the function is missing. The DLL stays loaded.
template <typename Function>
Function* SystemDllFunction(const wchar_t* module, const char* name)
{
    // LOAD_LIBRARY_SEARCH_SYSTEM32, which Windows XP's headers lack.
    constexpr DWORD kSystemFolderOnly = 0x00000800;
    if (GetModuleHandleW(module) == nullptr && LoadLibraryExW(module, nullptr, kSystemFolderOnly) == nullptr) {
        return nullptr;
    }
    return SystemFunction<Function>(module, name);
}

}  // namespace dravik
