// The loader's whole job, apart from its window: play the demo in the game.
#pragma once

#include "shared/settings_record.h"

#include <string>

namespace dravik {

enum class PlayOutcome {
    Played,              // the game played the demo and has ended as usual
    AlreadyPlaying,      // another loader's game plays a demo: nothing started
    GameAlreadyRunning,  // a copy of the game ran already, which plays nothing given to it
};

// Writes the script that makes the game play the demo named by the argument
// string (in quotes or not), starts the game and waits until it has ended.
// Fails (Failure) when the loader is not set up, the demo cannot be played,
// the game cannot be started, it ended with an error status, or its log says
// why it could not play the demo.
PlayOutcome PlayDemo(const SettingsRecord& settings, const std::wstring& argument);

}  // namespace dravik
