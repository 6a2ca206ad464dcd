#include "programs_list_entry.h"

#include "game_names.h"
#include "maker.h"
#include "mdlFunx.h"
#include "setup_rules.h"

#include <windows.h>

namespace dravik {

namespace {

// In the entry: the topmost key that READY made for it, such as the list's
// own Software\...\Uninstall, where this user had none.
constexpr wchar_t kMadeKeyValue[] = L"MadeKey";

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
    std::wstring made;
    for (const Entry& entry : entries) {
        if (auto refused = changes.Set(Place::ProgramsList, kProgramsListKey, entry.name, entry.value)) {
            return refused;
        }
        made = made.empty() ? changes.LastMadeKey() : made;
    }
    // A later READY finds the entry there and keeps this record.
    if (!made.empty() && !SameRegistryName(made, kProgramsListKey)) {
        return changes.SetString(Place::ProgramsList, kProgramsListKey, kMadeKeyValue, made);
    }
    return std::nullopt;
}

LONG RemoveProgramsListEntry()
{
    const HKEY root = RootOf(Place::ProgramsList);
    const std::wstring entry = kProgramsListKey;
    const std::wstring made = RegReadString(root, entry, kMadeKeyValue);
    const LONG status = reg::DeleteTree(root, entry);
    // The keys above the entry, up to the one READY made, each while it is
    // empty; one that holds something, such as another program's entry,
    // keeps those above it. An empty key lists nothing: where Windows keeps
    // it, it stays.
    if (status == ERROR_SUCCESS) {
        for (const std::wstring& parent : ParentKeysUpTo(entry, made)) {
            if (reg::DeleteIfEmpty(root, parent) != ERROR_SUCCESS) {
                break;
            }
        }
    }
    return status;
}

}  // namespace dravik
