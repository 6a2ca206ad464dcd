#include "registry_changes.h"

#include "mdlFunx.h"
#include "unique_handles.h"

namespace dravik {

namespace {

bool KeyExists(HKEY root, const std::wstring& subKey)
{
    UniqueKey key;
    return RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

// The first key along the path that does not exist yet; empty when all do.
std::wstring FirstMissingKey(HKEY root, const std::wstring& subKey)
{
    std::size_t end = 0;
    while (end != std::wstring::npos) {
        end = subKey.find(L'\\', end + 1);
        const std::wstring prefix = subKey.substr(0, end);
        if (!KeyExists(root, prefix)) {
            return prefix;
        }
    }
    return std::wstring();
}

}  // namespace

LONG RegistryChanges::SetString(HKEY root, const std::wstring& subKey, const std::wstring& name,
                                const std::wstring& value)
{
    return Set(root, subKey, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG RegistryChanges::SetDword(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD value)
{
    return Set(root, subKey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG RegistryChanges::Set(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD type,
                          const BYTE* data, DWORD bytes)
{
    Change change;
    change.root = root;
    change.subKey = subKey;
    change.name = name;
    change.createdKey = FirstMissingKey(root, subKey);

    UniqueKey key;
    LONG status = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        // Windows may have made some of the keys before it refused.
        if (!change.createdKey.empty()) {
            RegDeleteKeyTree(root, change.createdKey);
        }
        return status;
    }
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &change.type, nullptr, &size) == ERROR_SUCCESS) {
        change.data.resize(size);
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &change.type, change.data.data(), &size);
        if (status != ERROR_SUCCESS) {
            return status;
        }
        change.data.resize(size);
        change.hadValue = true;
    }
    changes_.push_back(change);
    return RegSetValueExW(key.get(), name.c_str(), 0, type, data, bytes);
}

void RegistryChanges::UndoAfter(std::size_t count)
{
    while (changes_.size() > count) {
        const Change& change = changes_.back();
        UniqueKey key;
        if (RegOpenKeyExW(change.root, change.subKey.c_str(), 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS) {
            if (change.hadValue) {
                RegSetValueExW(key.get(), change.name.c_str(), 0, change.type, change.data.data(),
                               static_cast<DWORD>(change.data.size()));
            } else {
                RegDeleteValueW(key.get(), change.name.c_str());
            }
        }
        key.reset();
        if (!change.createdKey.empty()) {
            RegDeleteKeyTree(change.root, change.createdKey);
        }
        changes_.pop_back();
    }
}

}  // namespace dravik
