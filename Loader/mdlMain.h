// Starting the game and waiting for it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// Starts the command line in the given folder and waits until that process
// has ended. Returns ERROR_SUCCESS then, or Windows' reason why the process
// could not be started (or waited for). `whileStarting`, when given, runs
// once the process has been created, before the wait.
DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 void (*whileStarting)() = nullptr);

}  // namespace dravik
