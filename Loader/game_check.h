// Whether the game is where Dravik.exe stored it, looked at before the
// loader does anything with the demo.
#pragma once

#include "shared/settings_record.h"

namespace dravik {

// Fails (Failure) with a description that names the path and what to do
// when the game folder, its System folder or UT2003.exe is missing, when a
// file stands where a folder should or the other way round, or when a
// folder stands where the loader writes the game's script.
void CheckGame(const SettingsRecord& settings);

}  // namespace dravik
