// How the bytes of a registry string value become text, and back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dravik {

// A string value ends at its first NUL; a value stored without one is
// taken whole (its last letter is part of the text, not a terminator).
std::wstring TextFromRegistryUnits(const wchar_t* units, std::size_t count);

// A multi-string value: texts each ended by a NUL, the list by one more. It
// ends at its first empty text; a last text stored without its NUL is kept.
std::vector<std::wstring> TextsFromRegistryUnits(const wchar_t* units, std::size_t count);

// The units of a multi-string value with these texts; empty texts, which
// would end the list early, are left out.
std::wstring RegistryUnitsOfTexts(const std::vector<std::wstring>& texts);

}  // namespace dravik
