// Conversion to the system's ANSI code page, the encoding the game reads.
#pragma once

#include <optional>
#include <string>

namespace dravik {

// The text in the ANSI code page, or nothing when a character has no exact
// form there (Windows would otherwise write '?' or a look-alike letter).
std::optional<std::string> ToAnsi(const std::wstring& text);

}  // namespace dravik
