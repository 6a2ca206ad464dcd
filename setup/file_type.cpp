#include "file_type.h"

#include "mdlFunx.h"
#include "rules/setup_rules.h"
#include "rules/text_join.h"
#include "rules/windows_names.h"
#include "shared/game_names.h"
#include "win32/full_path.h"
#include "win32/registry.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <vector>

namespace dravik {

namespace {

constexpr wchar_t kOpenWithProgids[] = L"\\OpenWithProgids";
// In dravikfile, what READY changed in the same classes key: the type that
// .dem named before, and the types it added to .dem's "Open with" list.
constexpr wchar_t kReplacedTypeValue[] = L"ReplacedDemoType";
constexpr wchar_t kAddedOpenWithValue[] = L"AddedOpenWith";
constexpr wchar_t kFileExtsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.dem\\";

const std::wstring kExtension = kDemoExtension;
const std::wstring kType = kDemoFileType;

// The merged view is only read, never written.
bool TypeExists(const std::wstring& type)
{
    UniqueKey key;
    return reg::OpenKey(HKEY_CLASSES_ROOT, type, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

// Also when the key cannot be read: only what is known to be missing is.
bool ValuePresent(HKEY root, const std::wstring& subKey, const wchar_t* name)
{
    UniqueKey key;
    reg::Value value;
    const LONG status = reg::OpenKey(root, subKey, KEY_QUERY_VALUE, key);
    return status != ERROR_FILE_NOT_FOUND &&
           (status != ERROR_SUCCESS || reg::ReadValue(key.get(), name, value) != ERROR_FILE_NOT_FOUND);
}

std::vector<std::wstring> AddedOpenWith(HKEY root)
{
    UniqueKey key;
    std::vector<std::wstring> added;
    if (reg::OpenKey(root, ClassesPath(kType), KEY_QUERY_VALUE, key) == ERROR_SUCCESS) {
        reg::ReadMultiString(key.get(), kAddedOpenWithValue, added);
    }
    return added;
}

struct Registration {
    std::wstring gameFolder;
    std::wstring programFolder;
    // The type that .dem named in the merged view before READY.
    std::wstring earlierOwner;
};

// The registration in one classes key. dravikfile first and .dem last, so
// that .dem never names a type without an open command.
std::optional<Refusal> WriteFileType(RegistryChanges& changes, Place classes, const Registration& registration)
{
    const HKEY root = RootOf(classes);
    const std::wstring extension = ClassesPath(kExtension);
    const std::wstring openWith = Join({extension, kOpenWithProgids});
    const std::wstring type = ClassesPath(kType);
    const auto set = [&](const std::wstring& key, const wchar_t* name, const std::wstring& text) {
        return changes.SetString(classes, key, name, text);
    };
    if (auto refused = set(Join({type, L"\\DefaultIcon"}), L"", DemoIconLocation(registration.gameFolder))) {
        return refused;
    }
    if (auto refused =
            set(Join({type, L"\\Shell\\open\\command"}), L"", LoaderOpenCommand(registration.programFolder))) {
        return refused;
    }
    // The type .dem named in this key is remembered, to be given .dem back;
    // a second READY finds dravikfile there and keeps the first's.
    const std::wstring own = RegReadString(root, extension, L"");
    if (!own.empty() && !SameName(own, kType)) {
        if (auto refused = set(type, kReplacedTypeValue, own)) {
            return refused;
        }
    }
    // The program that opened demos before stays in "Open with": this key's
    // own, or the one every user's key names, which this user's registration
    // hides. What READY adds is recorded, for removal with Dravik.
    const std::wstring earlier = !own.empty()                        ? own
                                 : classes == Place::ThisUsersClasses ? registration.earlierOwner
                                                                      : std::wstring();
    // A type that is not registered would offer nothing there. Each added
    // type is recorded once, however often READY adds it again.
    if (!earlier.empty() && !SameName(earlier, kType) && TypeExists(earlier) &&
        !ValuePresent(root, openWith, earlier.c_str())) {
        if (auto refused = set(openWith, earlier.c_str(), std::wstring())) {
            return refused;
        }
        std::vector<std::wstring> added = AddedOpenWith(root);
        if (std::none_of(added.begin(), added.end(),
                         [&](const std::wstring& type) { return SameName(type, earlier); })) {
            added.push_back(earlier);
        }
        if (auto refused = changes.Set(classes, type, kAddedOpenWithValue, reg::MultiStringValue(added))) {
            return refused;
        }
    }
    // Offers Dravik in "Open with" also while another program takes .dem later.
    if (auto refused = set(openWith, kDemoFileType, std::wstring())) {
        return refused;
    }
    return set(extension, L"", kType);
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

// Removes Dravik's keys from one classes key.
void RemoveFileType(Place classes, UninstallOutcome& outcome)
{
    const HKEY root = RootOf(classes);
    const std::wstring extension = ClassesPath(kExtension);
    const std::wstring openWith = Join({extension, kOpenWithProgids});
    const std::wstring type = ClassesPath(kType);
    bool refused = false;
    bool touched = false;  // .dem, where something of Dravik's was removed
    const auto note = [&](Part part, const std::wstring& key, LONG status) {
        if (status == ERROR_SUCCESS) {
            outcome.removed.push_back({part, classes});
        } else {
            outcome.refused.push_back(RefusalAt(classes, key, status));
            outcome.left.push_back({part, classes});
            refused = true;
        }
    };

    // .dem's own value only while it names us: never another program's. It
    // goes back to the type it named here before, where that type still
    // exists; where it named none, the value goes, and the merged view shows
    // every user's owner again rather than this key pinning it.
    if (SameName(RegReadString(root, extension, L""), kType)) {
        const std::wstring replaced = RegReadString(root, type, kReplacedTypeValue);
        UniqueKey key;
        LONG status = ERROR_SUCCESS;
        if (!replaced.empty() && TypeExists(replaced)) {
            status = RegWriteString(root, extension, L"", replaced);
        } else if ((status = reg::OpenKey(root, extension, KEY_SET_VALUE, key)) == ERROR_SUCCESS) {
            status = reg::DeleteValue(key.get(), L"");
        }
        note(Part::Association, extension, status);
        touched = true;
    }

    // "Open with": dravikfile and what READY added, where they are. Dravik
    // cannot tell what the READY of a version that kept no record added
    // from what was there before it: that stays.
    std::vector<std::wstring> ours = AddedOpenWith(root);
    ours.push_back(kType);
    ours.erase(std::remove_if(ours.begin(), ours.end(),
                              [&](const std::wstring& name) { return !ValuePresent(root, openWith, name.c_str()); }),
               ours.end());
    if (!ours.empty()) {
        UniqueKey key;
        LONG status = reg::OpenKey(root, openWith, KEY_SET_VALUE, key);
        for (const std::wstring& name : ours) {
            status = status == ERROR_SUCCESS ? reg::DeleteValue(key.get(), name.c_str()) : status;
        }
        key.reset();
        note(Part::OpenWith, openWith, status);
        // An empty key registers nothing: where Windows keeps it, it stays.
        reg::DeleteIfEmpty(root, openWith);
        touched = true;
    }
    if (touched) {
        reg::DeleteIfEmpty(root, extension);
    }

    // The type goes only once nothing here was refused: .dem never names a
    // type without an open command, and a later run finds it all.
    UniqueKey typeKey;
    if (reg::OpenKey(root, type, KEY_QUERY_VALUE, typeKey) == ERROR_FILE_NOT_FOUND) {
        return;
    }
    typeKey.reset();
    if (refused) {
        outcome.left.push_back({Part::FileType, classes});
    } else {
        note(Part::FileType, type, reg::DeleteTree(root, type));
    }
}

}  // namespace

std::optional<Refusal> RegisterDemoFileType(RegistryChanges& changes, const std::wstring& gameFolder,
                                            const std::wstring& programFolder)
{
    // Read before any write changes what the view shows.
    const Registration registration{gameFolder, programFolder, RegReadString(HKEY_CLASSES_ROOT, kExtension, L"")};
    std::optional<Refusal> refused = WriteToClassesKeys(
        changes, [&](Place classes) { return WriteFileType(changes, classes, registration); });
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return refused;
}

// The program id that opens .dem files for this user as the shell itself
// decides it: its own answer where it gives one (Windows 10 and later),
// else the user's choice as Windows 8 and later keep it (Windows 11 the
// newer one under UserChoiceLatest), which Windows does not document.
// Empty where there is none, as before Windows 8.
std::wstring ChosenType()
{
    // ASSOCSTR_PROGID, which Windows XP's headers lack.
    constexpr ASSOCSTR kProgId = static_cast<ASSOCSTR>(20);
    wchar_t text[MAX_PATH] = {};
    DWORD size = ARRAYSIZE(text);
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NONE, kProgId, kExtension.c_str(), nullptr, text, &size)) && text[0] != L'\0') {
        return text;
    }
    for (const wchar_t* key : {L"UserChoiceLatest", L"UserChoice"}) {
        std::wstring chosen = RegReadString(HKEY_CURRENT_USER, Join({kFileExtsKey, key}), L"ProgId");
        if (!chosen.empty()) {
            return chosen;
        }
    }
    return std::wstring();
}

std::optional<ChosenProgram> OtherProgramChosenForDemos(const std::wstring& loaderPath)
{
    const std::wstring chosen = ChosenType();
    if (chosen.empty() || SameName(chosen, kType)) {
        return std::nullopt;
    }
    // A choice of a type that is not registered opens nothing.
    if (!TypeExists(chosen)) {
        return ChosenProgram{chosen, true};
    }
    // A choice made by browsing to loader.exe (Applications\loader.exe) is
    // this loader too.
    const std::wstring executable = AssocString(ASSOCSTR_EXECUTABLE, chosen);
    if (!executable.empty() && SameName(FullPath(executable), FullPath(loaderPath))) {
        return std::nullopt;
    }
    return ChosenProgram{ProgramName(chosen), false};
}

std::wstring LoaderNameInShell()
{
    return ProgramName(kType);
}

void UnregisterDemoFileType(UninstallOutcome& outcome)
{
    for (const Place classes : {Place::EveryUsersClasses, Place::ThisUsersClasses}) {
        RemoveFileType(classes, outcome);
    }
    // Where Dravik's association is gone, demos open with what the shell
    // finds now: the type given back, or every user's owner again.
    const bool association = std::any_of(outcome.removed.begin(), outcome.removed.end(),
                                         [](const PartIn& removed) { return removed.part == Part::Association; });
    const std::wstring owner = RegReadString(HKEY_CLASSES_ROOT, kExtension, L"");
    if (association && !owner.empty() && !SameName(owner, kType) && TypeExists(owner)) {
        outcome.restored = ProgramName(owner);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace dravik
