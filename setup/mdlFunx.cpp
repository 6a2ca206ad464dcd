#include "mdlFunx.h"

#include "registry_string.h"
#include "unique_handles.h"

namespace dravik {

std::wstring RegReadString(HKEY root, const std::wstring& subKey, const std::wstring& valueName, REGSAM view)
{
    UniqueKey key;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return QueryStringValue(key.get(), valueName.c_str());
}

LONG RegWriteString(HKEY root, const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value)
{
    UniqueKey key;
    LONG status = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                                  key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

bool RegistryValueExists(HKEY root, const std::wstring& subKey, const std::wstring& valueName)
{
    UniqueKey key;
    return RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG RegDeleteKeyTree(HKEY root, const std::wstring& subKey)
{
    // By hand: Windows XP has no RegDeleteTreeW. A key goes only once it has
    // no subkeys, so they go first, each with its own tree.
    {
        UniqueKey key;
        LONG status = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.put());
        if (status != ERROR_SUCCESS) {
            return status;
        }
        wchar_t name[256];  // the longest key name, 255 characters, and its end
        for (;;) {
            DWORD length = sizeof name / sizeof name[0];
            status = RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (status == ERROR_SUCCESS) {
                status = RegDeleteKeyTree(key.get(), std::wstring(name, length));
            }
            // Not found: gone meanwhile, the next one is enumerated.
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
                return status;
            }
        }
    }
    return RegDeleteKeyW(root, subKey.c_str());
}

}  // namespace dravik
