#include "mdlFunx.h"

#include "win32/registry.h"

namespace dravik {

std::wstring RegReadString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, REGSAM view)
{
    UniqueKey key;
    std::wstring text;
    if (reg::OpenKey(root, subKey, KEY_QUERY_VALUE | view, key) != ERROR_SUCCESS ||
        reg::ReadString(key.get(), valueName, text) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return text;
}

LONG RegWriteString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, const std::wstring& value)
{
    UniqueKey key;
    std::wstring made;
    const LONG status = reg::CreatePath(root, subKey, KEY_SET_VALUE, key, made);
    return status == ERROR_SUCCESS ? reg::WriteValue(key.get(), valueName, reg::StringValue(value)) : status;
}

}  // namespace dravik
