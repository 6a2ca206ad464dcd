#include "win32/settings_reading.h"

#include "win32/registry.h"

namespace dravik {

SettingsRecord ReadSettingsRecord()
{
    SettingsRecord record;
    UniqueKey key;
    if (reg::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_QUERY_VALUE, key) == ERROR_SUCCESS) {
        // A value that is missing, of another type or unreadable leaves its text empty.
        reg::ReadString(key.get(), kPathValue, record.Path);
        reg::ReadString(key.get(), kGeneralValue, record.General);
    }
    return record;
}

}  // namespace dravik
