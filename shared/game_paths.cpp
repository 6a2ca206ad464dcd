#include "game_paths.h"

#include "game_names.h"

namespace dravik {

std::wstring ExecScriptPath(const std::wstring& general)
{
    return general + kExecScriptSuffix;
}

std::wstring SystemFolder(const std::wstring& general)
{
    return general + kSystemFolderSuffix;
}

std::wstring GameCommandLine(const std::wstring& path)
{
    return L"\"" + path + L"\" " + kExecOption;
}

QuotedText Unquote(const std::wstring& text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
        return {text.substr(1, text.size() - 2), true};
    }
    return {text, false};
}

}  // namespace dravik
