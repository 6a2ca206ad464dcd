// Reading one string value from an open registry key.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// The value's text when it is a REG_SZ; the empty text when it is missing,
// empty, of another type, or cannot be read.
std::wstring QueryStringValue(HKEY key, const wchar_t* valueName);

}  // namespace dravik
