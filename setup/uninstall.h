// Dravik.exe /uninstall: removes what the setup tool wrote, so that the
// folder with the two programs can simply be deleted afterwards.
#pragma once

namespace dravik {

// Removes the settings record and the .dem registration, tells the shell,
// and shows one message saying what was removed; returns the exit code.
int Uninstall();

}  // namespace dravik
