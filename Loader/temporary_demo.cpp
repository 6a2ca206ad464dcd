#include "temporary_demo.h"

#include "rules/loader_demo_form.h"
#include "rules/loader_path_forms.h"
#include "rules/text_join.h"
#include "win32/failure.h"
#include "win32/unique_handles.h"

namespace dravik {

void TemporaryDemo::Make(const std::wstring& demo, const std::wstring& path, bool link)
{
    Remove();
    // Owned from here on, so that a copy that breaks off is removed too.
    path_ = path;
    const std::wstring source = LongPathForm(demo);
    if (link && CreateHardLinkW(path.c_str(), source.c_str(), nullptr)) {
        return;
    }
    if (!CopyFileW(source.c_str(), path.c_str(), TRUE)) {
        const DWORD error = GetLastError();
        throw Failure(Join({L"The game cannot read the path of the demo ", demo,
                            L", and Dravik could not copy the demo into the game's System folder to play it from "
                            L"there: ",
                            SystemErrorText(error, path.c_str())}));
    }
    // The copy has the demo's attributes; a read-only one could not be
    // deleted after the game.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

void TemporaryDemo::Remove()
{
    if (!path_.empty()) {
        DeleteFileW(path_.c_str());
        path_.clear();
    }
}

void SweepTemporaryDemos(const std::wstring& systemFolder)
{
    WIN32_FIND_DATAW found;
    const UniqueFind search(FindFirstFileW(Join({systemFolder, L"\\", kTemporaryDemoPattern}).c_str(), &found));
    if (!search) {
        return;
    }
    do {
        // The pattern matches short names too: only the loader's own names count.
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryDemoName(found.cFileName)) {
            DeleteFileW(Join({systemFolder, L"\\", found.cFileName}).c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

}  // namespace dravik
