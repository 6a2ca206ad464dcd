#include "classes_keys.h"

#include "game_names.h"
#include "registry.h"

namespace dravik {

namespace {

// Also when the key is there but cannot be read.
bool UserClassesHold(const std::wstring& subKey)
{
    UniqueKey key;
    return reg::OpenKey(RootOf(Place::ThisUsersClasses), ClassesPath(subKey), KEY_QUERY_VALUE, key) !=
           ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring ClassesPath(const std::wstring& subKey)
{
    return BaseOf(Place::EveryUsersClasses) + (L"\\" + subKey);
}

std::optional<Refusal> WriteToClassesKeys(RegistryChanges& changes,
                                          const std::function<std::optional<Refusal>(Place)>& write,
                                          ClassesRegistration& done)
{
    const bool userHolds = UserClassesHold(kDemoExtension) || UserClassesHold(kDemoFileType);
    const std::size_t before = changes.Count();
    std::optional<Refusal> refused = write(Place::EveryUsersClasses);
    if (refused && refused->status != ERROR_ACCESS_DENIED) {
        return refused;
    }
    if (refused) {
        // Not for every user: for this one alone, once every user's classes
        // hold nothing of this attempt.
        const std::size_t left = changes.Left().size();
        changes.UndoAfter(before);
        if (changes.Left().size() != left) {
            return refused;
        }
        done.everyUserRefused = refused;
    } else {
        done.everyUser = true;
        if (!userHolds) {
            return std::nullopt;
        }
    }
    refused = write(Place::ThisUsersClasses);
    done.thisUser = !refused;
    return refused;
}

}  // namespace dravik
