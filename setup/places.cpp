#include "places.h"

#include "win32/registry.h"

namespace dravik {

HKEY RootOf(Place place)
{
    return place == Place::EveryUsersClasses ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const wchar_t* BaseOf(Place place)
{
    switch (place) {
    case Place::SettingsRecord: return L"Software";
    case Place::EveryUsersClasses:
    case Place::ThisUsersClasses: return L"Software\\Classes";
    // Below Software: the list's own keys are made where they are missing.
    case Place::ProgramsList: return L"Software";
    }
    return L"Software";
}

Refusal RefusalAt(Place place, const std::wstring& subKey, LONG status)
{
    return {place, reg::FullName(RootOf(place), subKey), status};
}

}  // namespace dravik
