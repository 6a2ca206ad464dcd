#include "uninstall.h"

#include "error_message.h"
#include "failure.h"
#include "file_type.h"
#include "mdlFunx.h"
#include "programs_list_entry.h"
#include "settings_record.h"
#include "setup_error.h"

#include <windows.h>

#include <new>
#include <string>

namespace dravik {

namespace {

// ERROR_SUCCESS and ERROR_FILE_NOT_FOUND are no refusal.
void ThrowIfRefused(LONG status)
{
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        ThrowSystemError(static_cast<DWORD>(status));
    }
}

std::wstring RemovedLines(const RemovedRegistration& removed)
{
    std::wstring lines;
    if (removed.association) {
        lines += L"\n- loader.exe as the program that opens .dem files";
    }
    if (!removed.restored.empty()) {
        lines += L"\n  (.dem files open with " + removed.restored + L" again, as before Dravik)";
    }
    if (removed.openWith) {
        lines += L"\n- loader.exe from the \"Open with\" list of .dem files";
    }
    if (removed.fileType) {
        lines += L"\n- the demo file type dravikfile";
    }
    return lines;
}

std::wstring Summary(bool settings, bool entry, const RemovedRegistration& removed)
{
    std::wstring lines = RemovedLines(removed);
    if (entry) {
        lines += L"\n- Dravik from the list of installed programs";
    }
    if (settings) {
        lines += L"\n- the stored path of UT2003.exe";
    }
    if (lines.empty()) {
        return L"Dravik found nothing of its own to remove for this Windows account.";
    }
    return L"Dravik has removed:" + lines + L"\n\nYou can now delete the folder with Dravik.exe and loader.exe.";
}

// What stays when Windows refused: the rest is kept too, so that Dravik
// still works and a later run finds everything it has to remove.
std::wstring RefusedText(const RemovedRegistration& removed)
{
    std::wstring places;
    for (const std::wstring& place : removed.refused) {
        places += L"\n- " + place;
    }
    const std::wstring lines = RemovedLines(removed);
    return L"Windows did not let Dravik remove its registration of .dem files" + places +
           L"\n\nIt is still there, and so are the stored path of UT2003.exe and Dravik's entry in the list of "
           L"installed programs. Run Dravik.exe /uninstall as an administrator (for example from a command prompt "
           L"opened with \"Run as administrator\") to remove everything." +
           (lines.empty() ? std::wstring() : L"\n\nRemoved so far:" + lines);
}

}  // namespace

int Uninstall()
{
    try {
        // The registration first and the settings record last: a run that is
        // refused halfway leaves Dravik working and findable.
        const RemovedRegistration removed = UnregisterDemoFileType();
        if (!removed.refused.empty()) {
            throw Failure(RefusedText(removed));
        }
        const LONG entry = RemoveProgramsListEntry();
        ThrowIfRefused(entry);
        const LONG settings = RegDeleteKeyTree(HKEY_CURRENT_USER, kSettingsParentKey);
        ThrowIfRefused(settings);
        MessageBoxW(nullptr, Summary(settings == ERROR_SUCCESS, entry == ERROR_SUCCESS, removed).c_str(), L"Dravik",
                    MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return 0;
    } catch (const Failure& failure) {
        ShowErrorMessage(nullptr, kSetupErrorTitlePrefix, failure.Description());
    } catch (const std::bad_alloc&) {
        ShowErrorMessage(nullptr, kSetupErrorTitlePrefix, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }
    return 1;
}

}  // namespace dravik
