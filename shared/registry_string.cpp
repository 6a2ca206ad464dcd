#include "registry_string.h"

#include "registry_text.h"

namespace dravik {

std::wstring QueryStringValue(HKEY key, const wchar_t* valueName)
{
    std::wstring units;
    DWORD type = 0;
    DWORD capacity = 0;
    LONG status;
    // The value may grow between two calls; ask again with the size it has then.
    do {
        units.resize(capacity / sizeof(wchar_t) + 1);
        capacity = static_cast<DWORD>(units.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&units[0]), &capacity);
    } while (status == ERROR_MORE_DATA && type == REG_SZ);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return std::wstring();
    }
    return TextFromRegistryUnits(units.data(), capacity / sizeof(wchar_t));
}

}  // namespace dravik
