#include "registry_text.h"

#include <algorithm>

namespace dravik {

std::wstring TextFromRegistryUnits(const wchar_t* units, std::size_t count)
{
    return std::wstring(units, std::find(units, units + count, L'\0'));
}

}  // namespace dravik
