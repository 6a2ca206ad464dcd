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

}  // namespace dravik
