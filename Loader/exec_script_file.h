// Writing the exec script that the game runs at start.
#pragma once

#include "rules/game_reading.h"

#include <string>

namespace dravik {

// Creates or replaces the file with exactly these bytes: no byte-order mark,
// no line terminator.
void WriteExecScript(const std::wstring& path, const ScriptBytes& bytes);

}  // namespace dravik
