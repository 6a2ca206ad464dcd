#include "registry_changes.h"

#include "rules/text_join.h"

namespace dravik {

std::optional<Refusal> RegistryChanges::Set(Place place, const std::wstring& subKey, const wchar_t* name,
                                            const reg::Value& value)
{
    const std::wstring base = BaseOf(place);
    UniqueKey baseKey;
    LONG status = reg::OpenKey(RootOf(place), base, KEY_CREATE_SUB_KEY, baseKey);
    if (status != ERROR_SUCCESS) {
        return RefusalAt(place, base, status);
    }
    Change change(place, subKey, name);
    UniqueKey key;
    std::wstring made;
    status = reg::CreatePath(baseKey.get(), subKey.substr(base.size() + 1), KEY_QUERY_VALUE | KEY_SET_VALUE, key,
                             made);
    if (!made.empty()) {
        change.madeKey = Join({base, L"\\", made});
    }
    if (status == ERROR_SUCCESS) {
        status = reg::ReadValue(key.get(), name, change.replaced);
        change.hadValue = status == ERROR_SUCCESS;
        change.setsValue = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    const bool setsValue = change.setsValue;
    if (setsValue || !change.madeKey.empty()) {
        changes_.push_back(std::move(change));
    }
    if (setsValue) {
        status = reg::WriteValue(key.get(), name, value);
    }
    if (status != ERROR_SUCCESS) {
        return RefusalAt(place, subKey, status);
    }
    return std::nullopt;
}

std::optional<Refusal> RegistryChanges::SetString(Place place, const std::wstring& subKey, const wchar_t* name,
                                                  const std::wstring& text)
{
    return Set(place, subKey, name, reg::StringValue(text));
}

void RegistryChanges::UndoAfter(std::size_t count)
{
    while (changes_.size() > count) {
        const Change& change = changes_.back();
        const HKEY root = RootOf(change.place);
        std::wstring key = change.subKey;
        LONG status = ERROR_SUCCESS;
        if (!change.madeKey.empty()) {
            // A key the change made goes with all that is in it.
            key = change.madeKey;
            status = reg::DeleteTree(root, key);
            status = status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
        } else if (change.setsValue) {
            UniqueKey handle;
            status = reg::OpenKey(root, key, KEY_SET_VALUE, handle);
            if (status == ERROR_SUCCESS) {
                status = change.hadValue ? reg::WriteValue(handle.get(), change.name.c_str(), change.replaced)
                                         : reg::DeleteValue(handle.get(), change.name.c_str());
            }
        }
        if (status != ERROR_SUCCESS) {
            left_.push_back(RefusalAt(change.place, key, status));
        }
        changes_.pop_back();
    }
}

}  // namespace dravik
