#include "programs_list_entry.h"

#include "maker.h"
#include "mdlFunx.h"
#include "rules/setup_rules.h"
#include "rules/text_join.h"
#include "rules/windows_names.h"
#include "shared/game_names.h"

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
    const ULONGLONG bytes = FileBytes(setupPath) + FileBytes(Join({folder, L"\\", kLoaderFileName}));
    const std::wstring uninstall = Join({L"\"", setupPath, L"\" /uninstall"});
    const struct {
        const wchar_t* name;
        const wchar_t* text;  // a REG_SZ value; none for a REG_DWORD, the number
        DWORD number;
    } entries[] = {
        {L"DisplayName", L"Dravik", 0},
        {L"DisplayIcon", setupPath.c_str(), 0},
        {L"DisplayVersion", kVersion, 0},
        {L"Publisher", kPublisher, 0},
        {L"URLInfoAbout", kHomePage, 0},
        {L"InstallLocation", folder.c_str(), 0},
        {L"UninstallString", uninstall.c_str(), 0},
        {L"NoModify", nullptr, 1},
        {L"NoRepair", nullptr, 1},
        {L"EstimatedSize", nullptr, static_cast<DWORD>((bytes + 1023) / 1024)},  // in KiB
    };
    std::wstring made;
    for (const auto& entry : entries) {
        const reg::Value value = entry.text != nullptr ? reg::StringValue(entry.text) : reg::DwordValue(entry.number);
        if (auto refused = changes.Set(Place::ProgramsList, kProgramsListKey, entry.name, value)) {
            return refused;
        }
        made = made.empty() ? changes.LastMadeKey() : made;
    }
    // A later READY finds the entry there and keeps this record.
    if (!made.empty() && !SameName(made, kProgramsListKey)) {
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
