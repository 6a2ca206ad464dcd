// Names that Windows compares without regard to letter case: registry keys,
// values and program ids, files and folders, and the names of Dravik's own
// objects made from them. Compared one way everywhere: letter by letter,
// each folded to upper case by the C runtime's towupper, as Windows folds
// names to upper case to compare them. (The game's own reading folds only
// ASCII letters: rules/game_reading.h.) Plain rules, free of Windows headers.
#pragma once

#include <string_view>

namespace dravik {

wchar_t FoldedLetter(wchar_t letter);

bool SameName(std::wstring_view a, std::wstring_view b);

// Whether the name or path ends in suffix, in any letter case.
bool EndsWithName(std::wstring_view name, std::wstring_view suffix);

}  // namespace dravik
