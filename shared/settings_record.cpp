#include "settings_record.h"

#include "registry_string.h"
#include "unique_handles.h"

namespace dravik {

SettingsRecord ReadSettingsRecord()
{
    SettingsRecord record;
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS) {
        record.Path = QueryStringValue(key.get(), kPathValue);
        record.General = QueryStringValue(key.get(), kGeneralValue);
    }
    return record;
}

}  // namespace dravik
