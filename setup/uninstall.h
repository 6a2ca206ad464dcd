// Dravik.exe /uninstall: removes what the setup tool wrote, so that the
// folder with the two programs can simply be deleted afterwards.
#pragma once

#include "outcomes.h"

namespace dravik {

// Removes the .dem registration, tells the shell, then removes the entry in
// the list of installed programs and, last, the settings record. Where
// Windows refuses part of the registration, the entry and the record stay,
// so that Dravik keeps working and a later run finds everything to remove.
UninstallOutcome Uninstall();

}  // namespace dravik
