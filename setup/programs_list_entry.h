// Dravik's entry in Windows' list of installed programs, for this user:
// its Uninstall button runs Dravik.exe /uninstall.
#pragma once

#include "registry_changes.h"

#include <optional>
#include <string>

namespace dravik {

// Place::ProgramsList
inline constexpr wchar_t kProgramsListKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dravik";

// setupPath is Dravik.exe's full path; loader.exe lies beside it. Where
// Windows had no list for this user yet, the entry records the keys made for
// it. Nothing when done, else where and why Windows refused.
std::optional<Refusal> WriteProgramsListEntry(RegistryChanges& changes, const std::wstring& setupPath);

// Removes the entry, and the keys made for it once nothing else is in them.
LONG RemoveProgramsListEntry();

}  // namespace dravik
