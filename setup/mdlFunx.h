// Registry strings for the setup tool.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// The text of a REG_SZ value; the empty text when the key or value is
// missing, the value is empty or of another type. view may be
// KEY_WOW64_32KEY: the registry that 32-bit installers write to (32-bit
// Windows, XP among them, has only that one and ignores the flag).
std::wstring RegReadString(HKEY root, const std::wstring& subKey, const std::wstring& valueName, REGSAM view = 0);

// Sets a REG_SZ value, creating missing keys along the path; an empty value
// name sets the key's default value. Returns ERROR_SUCCESS, or why Windows
// refused.
LONG RegWriteString(HKEY root, const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value);

// True when the key holds a value of that name, of any type.
bool RegistryValueExists(HKEY root, const std::wstring& subKey, const std::wstring& valueName);

// Deletes a key with everything below it. Returns ERROR_SUCCESS when it was
// there, ERROR_FILE_NOT_FOUND when it was not, or why Windows refused.
LONG RegDeleteKeyTree(HKEY root, const std::wstring& subKey);

}  // namespace dravik
