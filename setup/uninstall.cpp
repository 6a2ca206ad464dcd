#include "uninstall.h"

#include "error_message.h"
#include "failure.h"
#include "file_type.h"
#include "mdlFunx.h"
#include "settings_record.h"
#include "setup_error.h"

#include <windows.h>

#include <new>
#include <string>

namespace dravik {

namespace {

// True when there was a settings record to remove.
bool RemoveSettingsRecord()
{
    const LONG status = RegDeleteKeyTree(HKEY_CURRENT_USER, kSettingsParentKey);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        ThrowSystemError(static_cast<DWORD>(status));
    }
    return status == ERROR_SUCCESS;
}

std::wstring Summary(bool settings, const RemovedRegistration& removed)
{
    std::wstring lines;
    if (settings) {
        lines += L"\n- the stored path of UT2003.exe";
    }
    if (removed.association) {
        lines += L"\n- loader.exe as the program that opens .dem files";
    }
    if (removed.openWith) {
        lines += L"\n- loader.exe from the \"Open with\" list of .dem files";
    }
    if (removed.fileType) {
        lines += L"\n- the demo file type dravikfile";
    }
    if (lines.empty()) {
        return L"Dravik found nothing of its own to remove for this Windows account.";
    }
    return L"Dravik has removed:" + lines + L"\n\nYou can now delete the folder with Dravik.exe and loader.exe.";
}

}  // namespace

int Uninstall()
{
    try {
        const bool settings = RemoveSettingsRecord();
        const RemovedRegistration removed = UnregisterDemoFileType();
        MessageBoxW(nullptr, Summary(settings, removed).c_str(), L"Dravik", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return 0;
    } catch (const Failure& failure) {
        ShowErrorMessage(nullptr, kSetupErrorTitlePrefix, failure.Description());
    } catch (const std::bad_alloc&) {
        ShowErrorMessage(nullptr, kSetupErrorTitlePrefix, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }
    return 1;
}

}  // namespace dravik
