#include "file_type.h"

#include "failure.h"
#include "game_names.h"
#include "mdlFunx.h"
#include "setup_rules.h"

#include <shlobj.h>
#include <windows.h>

namespace dravik {

namespace {

// The three keys below one classes root; the first refusal ends it.
LONG WriteFileType(HKEY root, const std::wstring& classes, const std::wstring& gameFolder,
                   const std::wstring& programFolder)
{
    const std::wstring type = classes + kDemoFileType;
    LONG status = RegWriteString(root, classes + kDemoExtension, L"", kDemoFileType);
    if (status == ERROR_SUCCESS) {
        status = RegWriteString(root, type + L"\\DefaultIcon", L"", DemoIconPath(gameFolder));
    }
    if (status == ERROR_SUCCESS) {
        status = RegWriteString(root, type + L"\\Shell\\open\\command", L"", LoaderOpenCommand(programFolder));
    }
    return status;
}

}  // namespace

void RegisterDemoFileType(const std::wstring& gameFolder, const std::wstring& programFolder)
{
    // A standard user may not write below HKEY_CLASSES_ROOT on current
    // Windows; the user's own part of it, HKCU\Software\Classes, works for them.
    if (WriteFileType(HKEY_CLASSES_ROOT, L"", gameFolder, programFolder) != ERROR_SUCCESS) {
        const LONG status = WriteFileType(HKEY_CURRENT_USER, L"Software\\Classes\\", gameFolder, programFolder);
        if (status != ERROR_SUCCESS) {
            ThrowSystemError(static_cast<DWORD>(status));
        }
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace dravik
