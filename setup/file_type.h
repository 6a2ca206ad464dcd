// Registering .dem files with the shell so that opening one starts
// loader.exe, and removing that registration again.
#pragma once

#include "classes_keys.h"
#include "outcomes.h"
#include "registry_changes.h"

#include <optional>
#include <string>

namespace dravik {

// Writes dravikfile (its icon and open command), dravikfile in .dem's "Open
// with" list and, last, .dem -> dravikfile, in the classes keys that make
// the shell open demos with this loader for this user (classes_keys.h). The
// program that opened .dem files before stays in "Open with", and dravikfile
// records what READY changed for it, so that removing Dravik gives .dem back
// and takes out exactly what READY added. Nothing when done, else the
// refusal that stopped it; the changes made so far are in changes, for the
// caller to undo.
std::optional<Refusal> RegisterDemoFileType(RegistryChanges& changes, const std::wstring& gameFolder,
                                            const std::wstring& programFolder);

// The program that the user chose for .dem files in the shell (Windows 8 and
// later), when it is not this loader: Windows then keeps opening demos with
// it whatever is registered. Nothing when there is no such choice.
std::optional<ChosenProgram> OtherProgramChosenForDemos(const std::wstring& loaderPath);

// How Windows names this loader in its lists of programs.
std::wstring LoaderNameInShell();

// Removes the registration from every place that holds it, giving .dem back
// to the type it named before Dravik where that type still exists. A place
// that holds nothing of Dravik's is left alone, whoever may change it.
void UnregisterDemoFileType(UninstallOutcome& outcome);

}  // namespace dravik
