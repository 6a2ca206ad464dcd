// Registry strings for the setup tool, over the registry module.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// The text of a REG_SZ value; the empty text when the key or value is
// missing, the value is empty or of another type, or cannot be read. view
// may be KEY_WOW64_32KEY (see reg::OpenKey).
std::wstring RegReadString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, REGSAM view = 0);

// Sets a REG_SZ value, creating missing keys along the path; an empty value
// name sets the key's default value. Returns ERROR_SUCCESS, or why Windows
// refused.
LONG RegWriteString(HKEY root, const std::wstring& subKey, const wchar_t* valueName, const std::wstring& value);

}  // namespace dravik
