#include "file_type.h"

#include "classes_keys.h"
#include "failure.h"
#include "game_names.h"
#include "mdlFunx.h"
#include "setup_rules.h"
#include "unique_handles.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

namespace dravik {

namespace {

constexpr wchar_t kOpenWithProgids[] = L"\\OpenWithProgids";
// In dravikfile: the type that .dem named before Dravik took it over.
constexpr wchar_t kReplacedTypeValue[] = L"ReplacedDemoType";
constexpr wchar_t kFileExtsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.dem\\";

const std::wstring kExtension = kDemoExtension;
const std::wstring kType = kDemoFileType;

bool KeyExists(HKEY root, const std::wstring& subKey)
{
    UniqueKey key;
    return RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

// The merged view is only read, never written.
bool TypeExists(const std::wstring& type)
{
    return KeyExists(HKEY_CLASSES_ROOT, type);
}

void ThrowIfRefused(LONG status)
{
    if (status != ERROR_SUCCESS) {
        ThrowSystemError(static_cast<DWORD>(status));
    }
}

// The registration in one classes key. dravikfile first and .dem last, so
// that .dem never names a type without an open command.
void WriteFileType(RegistryChanges& changes, const ClassesKey& classes, const std::wstring& gameFolder,
                   const std::wstring& programFolder)
{
    const std::wstring extension = classes.Of(kExtension);
    const std::wstring type = classes.Of(kType);
    ThrowIfRefused(changes.SetString(classes.root, type + L"\\DefaultIcon", L"", DemoIconPath(gameFolder)));
    ThrowIfRefused(
        changes.SetString(classes.root, type + L"\\Shell\\open\\command", L"", LoaderOpenCommand(programFolder)));

    // Another program's type stays in "Open with" and is remembered for
    // removal; a second READY finds dravikfile there and keeps the first's.
    const std::wstring owner = RegReadString(classes.root, extension, L"");
    if (!owner.empty() && !SameRegistryName(owner, kType)) {
        ThrowIfRefused(changes.SetString(classes.root, type, kReplacedTypeValue, owner));
        if (!RegistryValueExists(classes.root, extension + kOpenWithProgids, owner)) {
            ThrowIfRefused(changes.SetString(classes.root, extension + kOpenWithProgids, owner, L""));
        }
    }
    // Offers Dravik in "Open with" also while another program takes .dem later.
    ThrowIfRefused(changes.SetString(classes.root, extension + kOpenWithProgids, kType, L""));
    ThrowIfRefused(changes.SetString(classes.root, extension, L"", kType));
}

std::wstring AssocString(ASSOCSTR what, const std::wstring& association)
{
    wchar_t text[MAX_PATH * 2] = {};
    DWORD size = ARRAYSIZE(text);
    if (FAILED(AssocQueryStringW(ASSOCF_NOTRUNCATE, what, association.c_str(), L"open", text, &size))) {
        return std::wstring();
    }
    return text;
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), ARRAYSIZE(full), full, nullptr);
    return length > 0 && length < ARRAYSIZE(full) ? std::wstring(full, length) : path;
}

// The program's name as Windows lists it: its description, else its file name.
std::wstring ProgramName(const std::wstring& type)
{
    std::wstring name = AssocString(ASSOCSTR_FRIENDLYAPPNAME, type);
    if (name.empty()) {
        const std::wstring executable = AssocString(ASSOCSTR_EXECUTABLE, type);
        name = executable.substr(executable.find_last_of(L'\\') + 1);
    }
    return name.empty() ? type : name;
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

// Removes Dravik's keys from one classes key; returns the first refusal.
LONG RemoveFileType(const ClassesKey& classes, RemovedRegistration& removed)
{
    LONG firstFailure = ERROR_SUCCESS;
    const std::wstring extension = classes.Of(kExtension);
    const std::wstring type = classes.Of(kType);
    // .dem's own value only while it names us: never another program's.
    if (SameRegistryName(RegReadString(classes.root, extension, L""), kType)) {
        const std::wstring replaced = RegReadString(classes.root, type, kReplacedTypeValue);
        if (!replaced.empty() && TypeExists(replaced)) {
            const LONG status = RegWriteString(classes.root, extension, L"", replaced);
            removed.restored = status == ERROR_SUCCESS ? ProgramName(replaced) : removed.restored;
            Note(status, firstFailure);
        } else {
            Note(DeleteValue(classes.root, extension, L""), firstFailure);
        }
        removed.association |= firstFailure == ERROR_SUCCESS;
    }
    const LONG openWith = DeleteValue(classes.root, extension + kOpenWithProgids, kDemoFileType);
    removed.openWith |= openWith == ERROR_SUCCESS;
    Note(openWith, firstFailure);
    DeleteIfEmpty(classes.root, extension + kOpenWithProgids, firstFailure);
    DeleteIfEmpty(classes.root, extension, firstFailure);

    // The type goes only with .dem pointing elsewhere: never a .dem that
    // names a type without an open command.
    if (firstFailure == ERROR_SUCCESS) {
        const LONG status = RegDeleteKeyTree(classes.root, type);
        removed.fileType |= status == ERROR_SUCCESS;
        Note(status, firstFailure);
    }
    return firstFailure;
}

}  // namespace

bool UserClassesHold(const std::wstring& subKey)
{
    return KeyExists(kUserClasses.root, kUserClasses.Of(subKey));
}

void RegisterDemoFileType(RegistryChanges& changes, const std::wstring& gameFolder, const std::wstring& programFolder)
{
    const std::size_t before = changes.Count();
    bool userToo = UserClassesHold(kExtension) || UserClassesHold(kType);
    try {
        WriteFileType(changes, kMachineClasses, gameFolder, programFolder);
    } catch (const Failure&) {
        // Refused for every user (a standard user): this user's alone.
        changes.UndoAfter(before);
        userToo = true;
    }
    if (userToo) {
        WriteFileType(changes, kUserClasses, gameFolder, programFolder);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

std::wstring OtherProgramChosenForDemos(const std::wstring& loaderPath)
{
    // Windows 11 keeps the newer choice under UserChoiceLatest; Windows
    // before 8 has neither.
    std::wstring chosen;
    for (const wchar_t* key : {L"UserChoiceLatest", L"UserChoice"}) {
        chosen = RegReadString(HKEY_CURRENT_USER, kFileExtsKey + std::wstring(key), L"ProgId");
        if (!chosen.empty()) {
            break;
        }
    }
    if (chosen.empty() || SameRegistryName(chosen, kType)) {
        return std::wstring();
    }
    // A choice made by browsing to loader.exe (Applications\loader.exe) is
    // this loader too.
    const std::wstring executable = AssocString(ASSOCSTR_EXECUTABLE, chosen);
    if (!executable.empty() && SameRegistryName(FullPath(executable), FullPath(loaderPath))) {
        return std::wstring();
    }
    return ProgramName(chosen);
}

std::wstring LoaderNameInShell()
{
    return ProgramName(kType);
}

RemovedRegistration UnregisterDemoFileType()
{
    RemovedRegistration removed;
    for (const ClassesKey* classes : {&kMachineClasses, &kUserClasses}) {
        const LONG status = RemoveFileType(*classes, removed);
        if (status != ERROR_SUCCESS) {
            removed.refused.push_back(std::wstring(L"for ") + classes->name + L" (" +
                                      SystemErrorText(static_cast<DWORD>(status)) + L")");
        }
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return removed;
}

}  // namespace dravik
