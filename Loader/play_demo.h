// The loader's whole job, apart from its window: play the demo in the game.
#pragma once

#include "shared/settings_record.h"

#include <string>

namespace dravik {

// What happened, in the order of the loader's exit statuses (0 to 5); a
// failure (Failure) ends the loader with 1.
enum class PlayOutcome {
    Played = 0,                    // the game played the demo and has ended as usual
    AlreadyPlaying = 2,            // another loader's game plays a demo: nothing started
    AnotherPreparing = 3,          // another loader prepares a demo for the game: nothing started
    PlayingForAnotherAccount = 4,  // a demo plays for another account, or as administrator: nothing started
    GameAlreadyRunning = 5,        // a copy of the game ran already, which plays nothing given to it
    Cancelled = 6,                 // the user cancelled the demo's copy: nothing started, nothing left
};

// Writes the script that makes the game play the demo named by the argument
// string (in quotes or not), starts the game and waits until it has ended.
// Fails (Failure) when the loader is not set up, the demo cannot be played,
// the game cannot be started, it ended with an error status, or its log says
// why it could not play the demo.
PlayOutcome PlayDemo(const SettingsRecord& settings, const std::wstring& argument);

}  // namespace dravik
