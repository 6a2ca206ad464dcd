#include "rules/windows_names.h"

#include <algorithm>
#include <cwctype>

namespace dravik {

wchar_t FoldedLetter(wchar_t letter)
{
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(letter)));
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && EndsWithName(a, b);
}

bool EndsWithName(std::wstring_view name, std::wstring_view suffix)
{
    return name.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](wchar_t a, wchar_t b) { return FoldedLetter(a) == FoldedLetter(b); });
}

}  // namespace dravik
