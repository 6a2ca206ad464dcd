#include "programs_list_entry.h"

#include "failure.h"
#include "game_names.h"
#include "maker.h"
#include "mdlFunx.h"
#include "setup_rules.h"

#include <windows.h>

namespace dravik {

namespace {

ULONGLONG FileBytes(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

void WriteProgramsListEntry(RegistryChanges& changes, const std::wstring& setupPath)
{
    const std::wstring folder = FolderOf(setupPath);
    const ULONGLONG bytes = FileBytes(setupPath) + FileBytes(folder + L"\\" + kLoaderFileName);
    struct Text {
        const wchar_t* name;
        std::wstring value;
    };
    const Text texts[] = {
        {L"DisplayName", L"Dravik"},
        {L"DisplayIcon", setupPath},
        {L"DisplayVersion", kVersion},
        {L"Publisher", kPublisher},
        {L"URLInfoAbout", kHomePage},
        {L"InstallLocation", folder},
        {L"UninstallString", L"\"" + setupPath + L"\" /uninstall"},
    };
    for (const Text& text : texts) {
        const LONG status = changes.SetString(HKEY_CURRENT_USER, kProgramsListKey, text.name, text.value);
        if (status != ERROR_SUCCESS) {
            ThrowSystemError(static_cast<DWORD>(status));
        }
    }
    const struct {
        const wchar_t* name;
        DWORD value;
    } numbers[] = {
        {L"NoModify", 1},
        {L"NoRepair", 1},
        {L"EstimatedSize", static_cast<DWORD>((bytes + 1023) / 1024)},  // in KiB
    };
    for (const auto& number : numbers) {
        const LONG status = changes.SetDword(HKEY_CURRENT_USER, kProgramsListKey, number.name, number.value);
        if (status != ERROR_SUCCESS) {
            ThrowSystemError(static_cast<DWORD>(status));
        }
    }
}

LONG RemoveProgramsListEntry()
{
    return RegDeleteKeyTree(HKEY_CURRENT_USER, kProgramsListKey);
}

}  // namespace dravik
