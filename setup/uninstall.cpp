#include "uninstall.h"

#include "file_type.h"
#include "programs_list_entry.h"
#include "shared/settings_record.h"
#include "win32/registry.h"

namespace dravik {

UninstallOutcome Uninstall()
{
    UninstallOutcome outcome;
    UnregisterDemoFileType(outcome);
    const struct {
        Part part;
        Place place;
        const wchar_t* key;
    } records[] = {
        {Part::ProgramsListEntry, Place::ProgramsList, kProgramsListKey},
        {Part::SettingsRecord, Place::SettingsRecord, kSettingsParentKey},  // Dravik's own, all of it
    };
    for (const auto& record : records) {
        const HKEY root = RootOf(record.place);
        if (!outcome.refused.empty()) {
            UniqueKey key;
            if (reg::OpenKey(root, record.key, KEY_QUERY_VALUE, key) != ERROR_FILE_NOT_FOUND) {
                outcome.left.push_back({record.part, record.place});
            }
            continue;
        }
        const LONG status =
            record.part == Part::ProgramsListEntry ? RemoveProgramsListEntry() : reg::DeleteTree(root, record.key);
        if (status == ERROR_SUCCESS) {
            outcome.removed.push_back({record.part, record.place});
        } else if (status != ERROR_FILE_NOT_FOUND) {
            outcome.refused.push_back(RefusalAt(record.place, record.key, status));
            outcome.left.push_back({record.part, record.place});
        }
    }
    return outcome;
}

}  // namespace dravik
