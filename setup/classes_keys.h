// The two real keys behind HKEY_CLASSES_ROOT, and the rule for which of them
// the registration goes to.
//
// HKEY_CLASSES_ROOT is a merged view: HKLM\Software\Classes for every user
// and HKCU\Software\Classes for this user, the user's winning wherever a key
// exists in both. Writes and deletes through the view land in one of them by
// rules of Windows' own, so Dravik writes and deletes in the real keys only:
// - every user's, when Windows lets this account write there;
// - and this user's as well wherever it already holds .dem or dravikfile
//   (left there by anyone), which would shadow every user's;
// - this user's alone when Windows refuses every user's for want of rights
//   (a standard user). Any other failure there is shown, not worked around.
// Reading what the shell will run goes through the merged view.
#pragma once

#include "places.h"
#include "registry_changes.h"

#include <optional>
#include <string>

namespace dravik {

// The key below either classes place's root: Software\Classes\<subKey>.
std::wstring ClassesPath(const std::wstring& subKey);

// Whether this user's classes hold .dem or dravikfile, also where such a key
// is there but cannot be read.
bool UserClassesHoldDemoKeys();

// Writes the registration with write(place), which returns what
// RegistryChanges::Set does, into the classes keys the rule above names.
// Nothing when done, else the refusal that stopped it; what it wrote is then
// in changes, for the caller to take back.
template <typename Write>
std::optional<Refusal> WriteToClassesKeys(RegistryChanges& changes, Write&& write)
{
    const bool userHolds = UserClassesHoldDemoKeys();
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
    } else if (!userHolds) {
        return std::nullopt;
    }
    return write(Place::ThisUsersClasses);
}

}  // namespace dravik
