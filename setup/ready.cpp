#include "ready.h"

#include "file_type.h"
#include "programs_list_entry.h"
#include "registry_changes.h"
#include "rules/setup_rules.h"
#include "rules/text_join.h"
#include "shared/game_names.h"
#include "shared/settings_record.h"
#include "win32/failure.h"
#include "win32/full_path.h"

namespace dravik {

namespace {

constexpr wchar_t kNotUT2003ExeText[] =
    L"The path must end in \\System\\UT2003.exe, for example C:\\UT2003\\System\\UT2003.exe.";
constexpr wchar_t kNoGameFolderText[] =
    L"The path names no game folder: give the full path of UT2003.exe, for example C:\\UT2003\\System\\UT2003.exe.";
constexpr wchar_t kNoGameText[] = L"There is no UT2003.exe at that path. Check the path and press READY again.";
constexpr wchar_t kPercentInFolderText[] =
    L"Dravik.exe and loader.exe are in a folder whose path holds a % sign, which Windows would read as a "
    L"placeholder when it opens a demo. Move both programs to a folder without % in its path and run Dravik.exe "
    L"from there.";
constexpr wchar_t kNoLoaderText[] =
    L"loader.exe is not in the same folder as Dravik.exe. Unpack both programs into one folder and run "
    L"Dravik.exe from there.";

// Why the path the user typed cannot be the game's; none when it can. path
// is its full form, which is what is stored: a relative path would name
// another file once Dravik.exe has ended. The typed path is checked for a
// game folder too: the bare suffix, as proposed when no install was found,
// would otherwise name \System on the current drive.
const wchar_t* GamePathProblemText(const std::wstring& typed, const std::wstring& path)
{
    switch (CheckGamePath(typed) == GamePathProblem::NoGameFolder ? GamePathProblem::NoGameFolder
                                                                   : CheckGamePath(path)) {
    case GamePathProblem::NotUT2003Exe: return kNotUT2003ExeText;
    case GamePathProblem::NoGameFolder: return kNoGameFolderText;
    case GamePathProblem::None: break;
    }
    return IsFile(path) ? nullptr : kNoGameText;
}

// The settings record first, the registration next, the list entry last.
std::optional<Refusal> Write(RegistryChanges& changes, const std::wstring& path, const std::wstring& setupPath)
{
    const std::wstring general = GameFolderOf(path);
    for (const auto& [name, value] : {std::pair{kPathValue, &path}, std::pair{kGeneralValue, &general}}) {
        if (auto refused = changes.SetString(Place::SettingsRecord, kSettingsKey, name, *value)) {
            return refused;
        }
    }
    if (auto refused = RegisterDemoFileType(changes, general, FolderOf(setupPath))) {
        return refused;
    }
    return WriteProgramsListEntry(changes, setupPath);
}

}  // namespace

ReadyOutcome Ready(const std::wstring& typed, const std::wstring& setupPath)
{
    // Checked before anything is stored, so that a failure leaves no trace.
    const std::wstring programFolder = FolderOf(setupPath);
    const std::wstring loaderPath = Join({programFolder, L"\\", kLoaderFileName});
    const std::wstring typedPath = CleanTypedPath(typed);
    const std::wstring path = FullPath(typedPath);
    const wchar_t* const problem = !IsFile(loaderPath)                  ? kNoLoaderText
                                   : !FitsInOpenCommand(programFolder) ? kPercentInFolderText
                                                                       : GamePathProblemText(typedPath, path);
    if (problem != nullptr) {
        throw Failure(problem);
    }

    // All or nothing: a refusal takes back what was written before it.
    ReadyOutcome outcome;
    RegistryChanges changes;
    try {
        outcome.refused = Write(changes, path, setupPath);
    } catch (...) {
        changes.UndoAll();
        throw;
    }
    if (outcome.refused) {
        changes.UndoAll();
        outcome.left = changes.TakeLeft();
        return outcome;
    }
    outcome.chosenProgram = OtherProgramChosenForDemos(loaderPath);
    if (outcome.chosenProgram) {
        outcome.loaderName = LoaderNameInShell();
    }
    return outcome;
}

}  // namespace dravik
