// How the bytes of a registry string value become text.
#pragma once

#include <cstddef>
#include <string>

namespace dravik {

// A string value ends at its first NUL; a value stored without one is
// taken whole (its last letter is part of the text, not a terminator).
std::wstring TextFromRegistryUnits(const wchar_t* units, std::size_t count);

}  // namespace dravik
