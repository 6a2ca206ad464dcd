#include "win32/full_path.h"

namespace dravik {

std::wstring FullPath(const std::wstring& path)
{
    // The longest path Windows has.
    std::wstring full(32768, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), 32768, &full[0], nullptr);
    full.resize(length < 32768 ? length : 0);
    return full;
}

}  // namespace dravik
