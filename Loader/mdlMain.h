// Starting the game and waiting for it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// Starts the command line in the given folder and waits until that process
// has ended. Returns ERROR_SUCCESS then, with the process's exit code, or
// Windows' reason why the process could not be started (or waited for).
//
// The process inherits no handle. Where `lock` is given (an event), the
// process gets a handle of its own to it before it runs, so that the event
// lives as long as the process (a process that cannot be given one is ended
// before it runs); the event is set once the process runs. `whileRunning`,
// when given, runs once the process has been running for kStartMs, unless
// it has ended by then.
DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 DWORD& exitCode, HANDLE lock = nullptr, void (*whileRunning)() = nullptr);

inline constexpr DWORD kStartMs = 250;

}  // namespace dravik
