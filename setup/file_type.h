// Registering .dem files with the shell so that opening one starts
// loader.exe, and removing that registration again.
#pragma once

#include "registry_changes.h"

#include <string>
#include <vector>

namespace dravik {

// Writes dravikfile (its icon and open command), dravikfile in .dem's "Open
// with" list and, last, .dem -> dravikfile, in the classes keys that make
// the shell open demos with this loader for this user (classes_keys.h).
// Another program's type that .dem named is kept in "Open with" and
// remembered, so that removing Dravik gives .dem back to it. Fails on a
// refusal; the changes made so far are in changes, for the caller to undo.
void RegisterDemoFileType(RegistryChanges& changes, const std::wstring& gameFolder, const std::wstring& programFolder);

// The program that the user chose for .dem files in the shell (Windows 8 and
// later), named as Windows names it, when it is not this loader: Windows then
// keeps opening demos with it whatever is registered. Empty otherwise.
std::wstring OtherProgramChosenForDemos(const std::wstring& loaderPath);

// How Windows names this loader in its lists of programs.
std::wstring LoaderNameInShell();

// What UnregisterDemoFileType found and did, over every place the
// registration may be.
struct RemovedRegistration {
    bool association = false;  // .dem -> dravikfile
    bool openWith = false;     // dravikfile in .dem's "Open with" list
    bool fileType = false;     // the dravikfile key
    std::wstring restored;     // the program that .dem files belong to again
    // Places that refused, with Windows' reason; what is there stays.
    std::vector<std::wstring> refused;
};

// Removes the registration from every place that holds it, giving .dem back
// to the type it named before Dravik where that type still exists.
RemovedRegistration UnregisterDemoFileType();

}  // namespace dravik
