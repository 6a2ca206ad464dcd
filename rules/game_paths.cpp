#include "rules/game_paths.h"

#include "rules/text_join.h"
#include "shared/game_names.h"

namespace dravik {

namespace {

std::wstring TrimBlanks(const std::wstring& text)
{
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
        return std::wstring();
    }
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring ExecScriptPath(const std::wstring& general)
{
    return Join({general, kExecScriptSuffix});
}

std::wstring SystemFolder(const std::wstring& general)
{
    return Join({general, kSystemFolderSuffix});
}

std::wstring GameCommandLine(const std::wstring& path)
{
    return Join({L"\"", path, L"\" ", kExecOption});
}

std::wstring CleanTypedPath(const std::wstring& typed)
{
    std::wstring path = TrimBlanks(typed);
    if (!path.empty() && path.front() == L'"') {
        path.erase(0, 1);
    }
    if (!path.empty() && path.back() == L'"') {
        path.pop_back();
    }
    return TrimBlanks(path);
}

}  // namespace dravik
