// Whether a copy of the game already runs, as the game itself finds one
// (rules/game_paths.h). Asks the window DLLs: only once the game has
// started, unless the game's path makes it start another copy.
#pragma once

#include <string>

namespace dravik {

bool GameRuns(const std::wstring& gamePath);

}  // namespace dravik
