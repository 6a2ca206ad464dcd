#include "win32/registry.h"

#include "rules/registry_text.h"
#include "rules/text_join.h"

namespace dravik::reg {

namespace {

Value UnitsValue(DWORD type, const std::wstring& units)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(units.data());
    return {type, std::vector<BYTE>(bytes, bytes + units.size() * sizeof(wchar_t))};
}

const wchar_t* Units(const Value& value)
{
    return reinterpret_cast<const wchar_t*>(value.bytes.data());
}

std::size_t UnitCount(const Value& value)
{
    return value.bytes.size() / sizeof(wchar_t);
}

LONG ReadValueOfType(HKEY key, const wchar_t* name, DWORD type, Value& value)
{
    const LONG status = ReadValue(key, name, value);
    return status == ERROR_SUCCESS && value.type != type ? ERROR_UNSUPPORTED_TYPE : status;
}

}  // namespace

LONG OpenKey(HKEY parent, const std::wstring& path, REGSAM access, UniqueKey& key)
{
    return RegOpenKeyExW(parent, path.c_str(), 0, access, key.put());
}

LONG CreateKey(HKEY parent, const std::wstring& name, REGSAM access, UniqueKey& key, bool& made)
{
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                        key.put(), &disposition);
    made = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return status;
}

LONG CreatePath(HKEY parent, const std::wstring& path, REGSAM access, UniqueKey& key, std::wstring& firstMade)
{
    firstMade.clear();
    UniqueKey above;
    HKEY at = parent;
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find(L'\\', start);
        const bool last = end == std::wstring::npos;
        UniqueKey next;
        bool made = false;
        const LONG status =
            CreateKey(at, path.substr(start, end - start), last ? access : KEY_CREATE_SUB_KEY, next, made);
        if (made && firstMade.empty()) {
            firstMade = path.substr(0, end);
        }
        if (status != ERROR_SUCCESS || last) {
            key = std::move(next);
            return status;
        }
        above = std::move(next);
        at = above.get();
        start = end + 1;
    }
}

Value StringValue(const std::wstring& text)
{
    return UnitsValue(REG_SZ, text + L'\0');
}

Value DwordValue(DWORD number)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
    return {REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof number)};
}

Value MultiStringValue(const std::vector<std::wstring>& texts)
{
    return UnitsValue(REG_MULTI_SZ, RegistryUnitsOfTexts(texts));
}

LONG ReadValue(HKEY key, const wchar_t* name, Value& value)
{
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    // The value may grow between two calls; ask again with the size it has then.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        // Whole wide characters, and room for one more than asked.
        value.bytes.assign((size / sizeof(wchar_t) + 1) * sizeof(wchar_t), 0);
        size = static_cast<DWORD>(value.bytes.size());
        status = RegQueryValueExW(key, name, nullptr, &value.type, value.bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            value.bytes.resize(size);
            break;
        }
    }
    return status;
}

LONG ReadString(HKEY key, const wchar_t* name, std::wstring& text)
{
    Value value;
    const LONG status = ReadValueOfType(key, name, REG_SZ, value);
    if (status == ERROR_SUCCESS) {
        text = TextFromRegistryUnits(Units(value), UnitCount(value));
    }
    return status;
}

LONG ReadMultiString(HKEY key, const wchar_t* name, std::vector<std::wstring>& texts)
{
    Value value;
    const LONG status = ReadValueOfType(key, name, REG_MULTI_SZ, value);
    if (status == ERROR_SUCCESS) {
        texts = TextsFromRegistryUnits(Units(value), UnitCount(value));
    }
    return status;
}

LONG WriteValue(HKEY key, const wchar_t* name, const Value& value)
{
    return RegSetValueExW(key, name, 0, value.type, value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size()));
}

LONG DeleteValue(HKEY key, const wchar_t* name)
{
    const LONG status = RegDeleteValueW(key, name);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LONG DeleteTree(HKEY parent, const std::wstring& path)
{
    // By hand: Windows XP has no RegDeleteTreeW. A key goes only once it has
    // no subkeys, so they go first, each with its own tree.
    {
        UniqueKey key;
        LONG status = OpenKey(parent, path, KEY_ENUMERATE_SUB_KEYS, key);
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
                status = DeleteTree(key.get(), std::wstring(name, length));
            }
            // Not found: gone meanwhile, the next one is enumerated.
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
                return status;
            }
        }
    }
    return RegDeleteKeyW(parent, path.c_str());
}

LONG DeleteIfEmpty(HKEY parent, const std::wstring& path)
{
    DWORD subKeys = 0;
    DWORD values = 0;
    {
        UniqueKey key;
        LONG status = OpenKey(parent, path, KEY_QUERY_VALUE, key);
        status = status == ERROR_SUCCESS ? CountContents(key.get(), subKeys, values) : status;
        if (status != ERROR_SUCCESS) {
            return status;
        }
    }
    return subKeys == 0 && values == 0 ? RegDeleteKeyW(parent, path.c_str()) : ERROR_DIR_NOT_EMPTY;
}

LONG CountContents(HKEY key, DWORD& subKeys, DWORD& values)
{
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr);
}

std::wstring FullName(HKEY root, const std::wstring& path)
{
    const wchar_t* name = root == HKEY_LOCAL_MACHINE  ? L"HKEY_LOCAL_MACHINE"
                          : root == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER"
                          : root == HKEY_CLASSES_ROOT ? L"HKEY_CLASSES_ROOT"
                                                      : L"";
    return path.empty() ? std::wstring(name) : Join({name, L"\\", path});
}

}  // namespace dravik::reg
