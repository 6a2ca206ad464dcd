#include "file_type.h"

#include "failure.h"
#include "game_names.h"
#include "mdlFunx.h"
#include "setup_rules.h"
#include "unique_handles.h"

#include <shlobj.h>
#include <windows.h>

namespace dravik {

namespace {

constexpr wchar_t kOpenWithProgids[] = L"\\OpenWithProgids";
constexpr wchar_t kUserChoiceKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.dem\\UserChoice";

// The two places the registration may be: below HKEY_CLASSES_ROOT, which is
// for every user, and the current user's own part of it.
struct ClassesRoot {
    HKEY root;
    const wchar_t* prefix;
};
const ClassesRoot kClassesRoots[] = {{HKEY_CLASSES_ROOT, L""}, {HKEY_CURRENT_USER, L"Software\\Classes\\"}};

// The keys below one classes root; the first refusal ends it.
LONG WriteFileType(const ClassesRoot& classes, const std::wstring& gameFolder, const std::wstring& programFolder)
{
    const std::wstring extension = classes.prefix + std::wstring(kDemoExtension);
    const std::wstring type = classes.prefix + std::wstring(kDemoFileType);
    LONG status = RegWriteString(classes.root, extension, L"", kDemoFileType);
    if (status == ERROR_SUCCESS) {
        // Offers Dravik in "Open with" also while another program owns .dem.
        status = RegWriteString(classes.root, extension + kOpenWithProgids, kDemoFileType, L"");
    }
    if (status == ERROR_SUCCESS) {
        status = RegWriteString(classes.root, type + L"\\DefaultIcon", L"", DemoIconPath(gameFolder));
    }
    if (status == ERROR_SUCCESS) {
        status = RegWriteString(classes.root, type + L"\\Shell\\open\\command", L"", LoaderOpenCommand(programFolder));
    }
    return status;
}

bool Found(LONG status)
{
    return status == ERROR_SUCCESS;
}

// A missing key or value is nothing to remove; any other failure counts.
void Note(LONG status, LONG& firstFailure)
{
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && firstFailure == ERROR_SUCCESS) {
        firstFailure = status;
    }
}

// Deletes the key when nothing is left in it, neither values nor subkeys.
void DeleteIfEmpty(HKEY root, const std::wstring& subKey, LONG& firstFailure)
{
    UniqueKey key;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS ||
        subKeys != 0 || values != 0) {
        return;
    }
    key.reset();
    Note(RegDeleteKeyW(root, subKey.c_str()), firstFailure);
}

LONG DeleteValue(HKEY root, const std::wstring& subKey, const wchar_t* name)
{
    UniqueKey key;
    const LONG status = RegOpenKeyExW(root, subKey.c_str(), 0, KEY_SET_VALUE, key.put());
    return status == ERROR_SUCCESS ? RegDeleteValueW(key.get(), name) : status;
}

void RemoveFileType(const ClassesRoot& classes, RemovedRegistration& removed, LONG& firstFailure)
{
    const std::wstring extension = classes.prefix + std::wstring(kDemoExtension);
    // .dem's own value only while it names us: never another program's.
    if (SameRegistryName(RegReadString(classes.root, extension, L""), kDemoFileType)) {
        const LONG status = DeleteValue(classes.root, extension, L"");
        removed.association |= Found(status);
        Note(status, firstFailure);
    }
    const LONG openWith = DeleteValue(classes.root, extension + kOpenWithProgids, kDemoFileType);
    removed.openWith |= Found(openWith);
    Note(openWith, firstFailure);
    DeleteIfEmpty(classes.root, extension + kOpenWithProgids, firstFailure);
    DeleteIfEmpty(classes.root, extension, firstFailure);

    const LONG type = RegDeleteKeyTree(classes.root, classes.prefix + std::wstring(kDemoFileType));
    removed.fileType |= Found(type);
    Note(type, firstFailure);
}

}  // namespace

void RegisterDemoFileType(const std::wstring& gameFolder, const std::wstring& programFolder)
{
    // A standard user may not write below HKEY_CLASSES_ROOT on current
    // Windows; the user's own part of it, HKCU\Software\Classes, works for them.
    if (WriteFileType(kClassesRoots[0], gameFolder, programFolder) != ERROR_SUCCESS) {
        const LONG status = WriteFileType(kClassesRoots[1], gameFolder, programFolder);
        if (status != ERROR_SUCCESS) {
            ThrowSystemError(static_cast<DWORD>(status));
        }
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::wstring OtherProgramChosenForDemos()
{
    const std::wstring chosen = RegReadString(HKEY_CURRENT_USER, kUserChoiceKey, L"ProgId");
    return SameRegistryName(chosen, kDemoFileType) ? std::wstring() : chosen;
}

RemovedRegistration UnregisterDemoFileType()
{
    RemovedRegistration removed;
    LONG firstFailure = ERROR_SUCCESS;
    for (const ClassesRoot& classes : kClassesRoots) {
        RemoveFileType(classes, removed, firstFailure);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    if (firstFailure != ERROR_SUCCESS) {
        ThrowSystemError(static_cast<DWORD>(firstFailure));
    }
    return removed;
}

}  // namespace dravik
