#include "rules/loader_path_forms.h"

#include "rules/game_reading.h"

#include <algorithm>

namespace dravik {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

bool IsDrivePath(const std::wstring& path)
{
    const wchar_t drive = static_cast<wchar_t>(path.empty() ? 0 : path[0] | 0x20);
    return path.size() >= 3 && drive >= L'a' && drive <= L'z' && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

std::wstring LongPathForm(const std::wstring& fullPath)
{
    if (fullPath.size() < kMaxPath) {
        return fullPath;
    }
    if (IsDrivePath(fullPath)) {
        return kLongPrefix + fullPath;
    }
    if (StartsWith(fullPath, L"\\\\") && !StartsWith(fullPath, kLongPrefix) && !StartsWith(fullPath, L"\\\\.\\")) {
        return kLongUncPrefix + fullPath.substr(2);
    }
    return fullPath;
}

std::wstring PlainPathForm(const std::wstring& path)
{
    if (StartsWith(path, kLongUncPrefix)) {
        return L"\\\\" + path.substr(std::char_traits<wchar_t>::length(kLongUncPrefix));
    }
    const std::wstring rest = path.substr(std::min(path.size(), std::char_traits<wchar_t>::length(kLongPrefix)));
    if (StartsWith(path, kLongPrefix) && IsDrivePath(rest)) {
        return rest;
    }
    return path;
}

bool IsDevicePath(const std::wstring& fullPath)
{
    return StartsWith(fullPath, L"\\\\.\\");
}

}  // namespace dravik
