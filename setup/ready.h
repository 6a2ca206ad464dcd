// READY, without the window: checks the path the user gave, stores the
// settings record, registers .dem files and adds Dravik to the list of
// installed programs, all or nothing.
#pragma once

#include "outcomes.h"

#include <string>

namespace dravik {

// typed is the text box's text as the user left it; setupPath is
// Dravik.exe's full path, with loader.exe beside it. A path that names no
// game, or programs that cannot be registered where they lie, fail with the
// reason before anything is stored; what Windows refused is in the outcome.
ReadyOutcome Ready(const std::wstring& typed, const std::wstring& setupPath);

}  // namespace dravik
