#include "programs_list_entry.h"

#include "game_names.h"
#include "maker.h"
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

std::optional<Refusal> WriteProgramsListEntry(RegistryChanges& changes, const std::wstring& setupPath)
{
    const std::wstring folder = FolderOf(setupPath);
    const ULONGLONG bytes = FileBytes(setupPath) + FileBytes(folder + L"\\" + kLoaderFileName);
    struct Entry {
        const wchar_t* name;
        reg::Value value;
    };
    const Entry entries[] = {
        {L"DisplayName", reg::StringValue(L"Dravik")},
        {L"DisplayIcon", reg::StringValue(setupPath)},
        {L"DisplayVersion", reg::StringValue(kVersion)},
        {L"Publisher", reg::StringValue(kPublisher)},
        {L"URLInfoAbout", reg::StringValue(kHomePage)},
        {L"InstallLocation", reg::StringValue(folder)},
        {L"UninstallString", reg::StringValue(L"\"" + setupPath + L"\" /uninstall")},
        {L"NoModify", reg::DwordValue(1)},
        {L"NoRepair", reg::DwordValue(1)},
        {L"EstimatedSize", reg::DwordValue(static_cast<DWORD>((bytes + 1023) / 1024))},  // in KiB
    };
    for (const Entry& entry : entries) {
        if (auto refused = changes.Set(Place::ProgramsList, kProgramsListKey, entry.name, entry.value)) {
            return refused;
        }
    }
    return std::nullopt;
}

}  // namespace dravik
