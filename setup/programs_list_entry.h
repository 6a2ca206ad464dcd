// Dravik's entry in Windows' list of installed programs, for this user:
// its Uninstall button runs Dravik.exe /uninstall.
#pragma once

#include "registry_changes.h"

#include <string>

namespace dravik {

inline constexpr wchar_t kProgramsListKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dravik";

// setupPath is Dravik.exe's full path; loader.exe lies beside it.
void WriteProgramsListEntry(RegistryChanges& changes, const std::wstring& setupPath);

// Returns ERROR_SUCCESS when the entry was there and is gone,
// ERROR_FILE_NOT_FOUND when there was none, or why Windows refused.
LONG RemoveProgramsListEntry();

}  // namespace dravik
