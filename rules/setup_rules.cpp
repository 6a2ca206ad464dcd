#include "rules/setup_rules.h"

#include "rules/game_paths.h"
#include "rules/text_join.h"
#include "rules/windows_names.h"
#include "shared/game_names.h"

#include <algorithm>
#include <string_view>

namespace dravik {

namespace {

constexpr std::wstring_view kSuffix = kGameExeSuffix;

}  // namespace

GamePathProblem CheckGamePath(const std::wstring& path)
{
    if (!EndsWithName(path, kSuffix)) {
        return GamePathProblem::NotUT2003Exe;
    }
    if (path.size() == kSuffix.size()) {
        return GamePathProblem::NoGameFolder;
    }
    return GamePathProblem::None;
}

std::wstring GameFolderOf(const std::wstring& path)
{
    return path.substr(0, path.size() - std::min(path.size(), kSuffix.size()));
}

std::wstring ProposedGamePath(const std::wstring& folder)
{
    return Join({folder, kSuffix});
}

std::wstring LoaderOpenCommand(const std::wstring& programFolder)
{
    return Join({L"\"", programFolder, L"\\", kLoaderFileName, L"\" \"%1\""});
}

bool FitsInOpenCommand(const std::wstring& programFolder)
{
    return programFolder.find(L'%') == std::wstring::npos;
}

std::wstring DemoIconLocation(const std::wstring& gameFolder)
{
    return Join({gameFolder, kDemoIconSuffix, L",0"});
}

std::wstring FolderOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

SetupCommand ParseSetupArguments(const std::wstring& arguments)
{
    // A quoted argument ("/uninstall") means the same as the bare one.
    const std::wstring argument = CleanTypedPath(arguments);
    if (argument.empty()) {
        return SetupCommand::Window;
    }
    if (SameName(argument, L"/uninstall") || SameName(argument, L"-uninstall")) {
        return SetupCommand::Uninstall;
    }
    return SetupCommand::Unknown;
}

std::vector<std::wstring> ParentKeysUpTo(const std::wstring& key, const std::wstring& top)
{
    if (top.empty() || top.size() >= key.size() || key[top.size()] != L'\\' ||
        !SameName(std::wstring_view(key).substr(0, top.size()), top)) {
        return {};
    }
    std::vector<std::wstring> parents;
    for (std::size_t end = key.rfind(L'\\'); end != std::wstring::npos && end >= top.size();
         end = end == 0 ? std::wstring::npos : key.rfind(L'\\', end - 1)) {
        parents.push_back(key.substr(0, end));
    }
    return parents;
}

}  // namespace dravik
