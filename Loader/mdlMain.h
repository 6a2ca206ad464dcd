// Starting the game and waiting for it.
#pragma once

#include <windows.h>

#include <string>

namespace dravik {

// Starts the command line in the given folder and waits until that process
// has ended. Returns ERROR_SUCCESS then, with the process's exit code, or
// Windows' reason why the process could not be started (or waited for).
// `whileRunning`, when given, runs once the process has been running for
// kStartMs, unless it has ended by then. With `inheritHandles` the process
// inherits this one's inheritable handles.
DWORD RunAndWait(const std::wstring& commandLine, const std::wstring& currentDirectory, WORD showState,
                 DWORD& exitCode, void (*whileRunning)() = nullptr, bool inheritHandles = false);

inline constexpr DWORD kStartMs = 250;

}  // namespace dravik
