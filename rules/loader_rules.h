// Rules of the loader around the game's start and end: the folder it runs
// in, which messages it shows, the name of its one-demo-at-a-time lock.
// Plain text rules, free of Windows headers.
#pragma once

#include "rules/game_log.h"

#include <string>

namespace dravik {

// The game's current folder. A game at a drive's root has the folder "D:",
// which as a current folder would mean whatever folder is current on D:.
std::wstring GameWorkingFolder(const std::wstring& general);

// The name of the lock that a loader and its game hold while the game runs:
// one per game folder for all Windows accounts, however the folder is
// spelled in letter case or trailing backslashes.
std::wstring GameLockName(const std::wstring& general);

// Whether the game's exit code says that it crashed or could not start:
// Windows' statuses of the error range (0xC0000000 and above) and its
// crash statuses of the warning range (a breakpoint, a single step, a
// misaligned datum). 0xFFFFFFFF is an ordinary exit(-1), and every other
// code is the game's own: it reports its errors in its own window.
bool IsErrorStatus(unsigned long exitCode);

// "0xC0000135"
std::wstring HexStatus(unsigned long status);

// A status text from Windows' message table made fit for a message: its
// printf-style inserts (which only Windows' own reports can fill) become
// "...", line breaks become blanks.
std::wstring StatusMeaning(const std::wstring& text);

// The error description for a game that ended with an error status;
// meaning is Windows' text for the status, critical the game's own first
// "Critical:" line in its log; either may be empty.
std::wstring GameEndedText(unsigned long status, const std::wstring& meaning, const std::wstring& critical = {});

// The error description for a demo that the game's log says it could not
// play, and what to do.
std::wstring DemoNotPlayedText(const std::wstring& demo, const GameLogReading& reading);

// Whether the stored path of UT2003.exe lies in the stored game folder
// (General + "\System\UT2003.exe", in any letter case), and what to say
// where it does not.
bool SettingsAgree(const std::wstring& path, const std::wstring& general);
std::wstring SettingsDisagreeText(const std::wstring& path, const std::wstring& general);

// Why the game could not be started: Windows' own text, except where the
// loader knows better what the user must do.
std::wstring GameStartFailureText(unsigned long error, const std::wstring& systemText);

}  // namespace dravik
