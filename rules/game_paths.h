// How the loader's script, the game's command line and related paths are made.
// Plain text rules, free of Windows headers.
#pragma once

#include <string>

namespace dravik {

// General + "\System\udemo.ini": plain concatenation, nothing normalised.
std::wstring ExecScriptPath(const std::wstring& general);

// General + "\System": the folder of the game's program and its script.
std::wstring SystemFolder(const std::wstring& general);

// "<path>" -exec=udemo.ini. The path is quoted so that a folder with blanks
// (C:\Program Files\...) cannot make Windows start C:\Program.exe instead.
std::wstring GameCommandLine(const std::wstring& path);

// A path as typed into the setup window or given on the loader's command
// line: surrounding blanks and double quotes ("Copy as path" adds them, and
// a shell may add a blank after them) are not part of it, nor is a quote
// left without its pair, as no Windows path holds one.
std::wstring CleanTypedPath(const std::wstring& typed);

}  // namespace dravik
