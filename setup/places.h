// The places in the registry where the setup tool writes, and what it tells
// of a refusal there. Each place is a key that Windows always has, with
// Dravik's keys below it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

enum class Place {
    SettingsRecord,     // HKCU\Software: Dravik\Setup, the stored path of UT2003.exe
    EveryUsersClasses,  // HKLM\Software\Classes: .dem and dravikfile for every user
    ThisUsersClasses,   // HKCU\Software\Classes: the same for this Windows account
    ProgramsList,       // HKCU\Software: ...\Uninstall\Dravik, the entry in the list of installed programs
};

HKEY RootOf(Place place);
// Below the root, without a trailing backslash: "Software\Classes".
const wchar_t* BaseOf(Place place);

// Windows refused a change in a place.
struct Refusal {
    Place place;
    std::wstring key;  // the key as regedit names it: HKEY_LOCAL_MACHINE\Software\Classes\.dem
    LONG status;       // Windows' reason, such as ERROR_ACCESS_DENIED
};

// A refusal of a change of the key subKey (below the place's root).
Refusal RefusalAt(Place place, const std::wstring& subKey, LONG status);

}  // namespace dravik
