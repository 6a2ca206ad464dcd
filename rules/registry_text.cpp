#include "rules/registry_text.h"

#include <algorithm>

namespace dravik {

std::wstring TextFromRegistryUnits(const wchar_t* units, std::size_t count)
{
    return std::wstring(units, std::find(units, units + count, L'\0'));
}

std::vector<std::wstring> TextsFromRegistryUnits(const wchar_t* units, std::size_t count)
{
    std::vector<std::wstring> texts;
    const wchar_t* const end = units + count;
    for (const wchar_t* text = units; text < end && *text != L'\0';) {
        const wchar_t* const nul = std::find(text, end, L'\0');
        texts.emplace_back(text, nul);
        if (nul == end) {
            break;
        }
        text = nul + 1;
    }
    return texts;
}

std::wstring RegistryUnitsOfTexts(const std::vector<std::wstring>& texts)
{
    std::wstring units;
    for (const std::wstring& text : texts) {
        if (!text.empty()) {
            units += text;
            units += L'\0';
        }
    }
    units += L'\0';
    return units;
}

}  // namespace dravik
