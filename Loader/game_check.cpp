#include "game_check.h"

#include "rules/game_paths.h"
#include "rules/loader_path_forms.h"
#include "rules/text_join.h"
#include "win32/failure.h"

#include <windows.h>

namespace dravik {

namespace {

constexpr wchar_t kRunSetupAgain[] =
    L" Run Dravik.exe again and correct the path of UT2003.exe, then open the demo again.";

enum class Found { Nothing, File, Folder };

Found Look(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Found::Folder : Found::File;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
        error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME || error == ERROR_NOT_READY) {
        return Found::Nothing;
    }
    // Refused, or a broken drive: Windows' own words say more than ours.
    throw Failure(Join({L"Dravik cannot look at ", path, L": ", SystemErrorText(error)}));
}

}  // namespace

void CheckGame(const SettingsRecord& settings)
{
    const std::wstring system = SystemFolder(settings.General);
    switch (Look(settings.General)) {
    case Found::Nothing: throw Failure(Join({L"There is no game folder ", settings.General, L".", kRunSetupAgain}));
    case Found::File: throw Failure(Join({settings.General, L" is a file, not the game folder.", kRunSetupAgain}));
    case Found::Folder: break;
    }
    switch (Look(system)) {
    case Found::Nothing:
        throw Failure(Join({L"The game folder ", settings.General, L" has no System folder.", kRunSetupAgain}));
    case Found::File:
        throw Failure(Join({system, L" is a file, not the game's System folder.", kRunSetupAgain}));
    case Found::Folder: break;
    }
    switch (Look(settings.Path)) {
    case Found::Nothing: throw Failure(Join({L"There is no UT2003.exe at ", settings.Path, L".", kRunSetupAgain}));
    case Found::Folder: throw Failure(Join({settings.Path, L" is a folder, not the game.", kRunSetupAgain}));
    case Found::File: break;
    }
    const std::wstring script = ExecScriptPath(settings.General);
    if (Look(script) == Found::Folder) {
        throw Failure(Join({L"There is a folder ", script,
                            L" where Dravik writes the game's script. Move or delete that folder, then open the demo "
                            L"again."}));
    }
}

}  // namespace dravik
