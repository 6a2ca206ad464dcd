#include "registry_string.h"

#include "registry_text.h"

#include <vector>

namespace dravik {

std::wstring QueryStringValue(HKEY key, const wchar_t* valueName)
{
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size);
    // The value may grow between the two calls; ask again until it fits.
    while (status == ERROR_SUCCESS && type == REG_SZ && size > 0) {
        std::vector<wchar_t> units(size / sizeof(wchar_t) + 1, L'\0');
        DWORD capacity = static_cast<DWORD>(units.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &capacity);
        if (status == ERROR_SUCCESS && type == REG_SZ) {
            return TextFromRegistryUnits(units.data(), capacity / sizeof(wchar_t));
        }
        size = capacity;
    }
    return std::wstring();
}

}  // namespace dravik
