// One demo at a time per game folder, for every Windows account: the game
// reads its script only a while after it starts, so a second loader's
// script would reach the first game too.
//
// The lock is a named event in the global namespace that exists while any
// process holds a handle to it. The loader makes it, and the game gets a
// handle of its own before it runs (RunAndWait), so the lock lasts as long as
// the game runs, even when the loader is ended meanwhile (a mutex would be
// abandoned then). The event is set once the game runs: until then Dravik is
// still preparing the demo (copying it, say).
#pragma once

#include "win32/unique_handles.h"

#include <string>

namespace dravik {

enum class GameLockState {
    Ours,          // taken: this loader may start the game
    Preparing,     // another loader prepares a demo for this game
    Playing,       // another loader's game plays a demo
    OtherAccount,  // Windows does not let this account see it: another account's game, or one run as administrator
};

class GameLock {
public:
    // Takes the lock of the game folder where it is free. Fails (Failure)
    // where Windows cannot make it, naming Windows' reason: it counts neither
    // as free nor as taken.
    GameLockState Take(const std::wstring& general);
    // The event, for the game to hold and for RunAndWait to set once the
    // game runs.
    HANDLE Event() const { return event_.get(); }
    // Lets go of it once the game has ended.
    void Release() { event_.reset(); }

private:
    UniqueHandle event_;
};

}  // namespace dravik
