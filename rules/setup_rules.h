// Rules of the setup tool: what a typed path must look like, and the values
// it registers with the shell. Plain text rules, free of Windows headers.
#pragma once

#include "rules/game_paths.h"

#include <string>
#include <vector>

namespace dravik {

enum class GamePathProblem { None, NotUT2003Exe, NoGameFolder };

// A path names the game when it ends in \System\UT2003.exe (any case) after
// a non-empty game folder.
GamePathProblem CheckGamePath(const std::wstring& path);

// The game folder: the path without \System\UT2003.exe.
std::wstring GameFolderOf(const std::wstring& path);

// What the setup window proposes for a game folder from the install record.
std::wstring ProposedGamePath(const std::wstring& folder);

// The shell's open command for demos. Both paths are quoted so that blanks
// in a folder cannot make Windows start another program.
std::wstring LoaderOpenCommand(const std::wstring& programFolder);

// The shell reads a % in an open command as the start of a placeholder
// (%1, %2...), and has no way to escape it: a loader in such a folder
// could never be started.
bool FitsInOpenCommand(const std::wstring& programFolder);

// Where the shell finds the demo icon: the icon file and its index. The
// shell reads the text after the last comma as the index, so the index is
// always given: a game folder may hold a comma.
std::wstring DemoIconLocation(const std::wstring& gameFolder);

// The folder part of a program's full path, without a trailing backslash.
std::wstring FolderOf(const std::wstring& path);

// What Dravik.exe is asked to do by its argument string: show its window
// (no argument), remove what it wrote (/uninstall or -uninstall, any case,
// in double quotes or not), or nothing it knows.
enum class SetupCommand { Window, Uninstall, Unknown };
SetupCommand ParseSetupArguments(const std::wstring& arguments);

// The keys above a registry key path, nearest first, up to and including
// top; none when top is not one of them.
std::vector<std::wstring> ParentKeysUpTo(const std::wstring& key, const std::wstring& top);

}  // namespace dravik
