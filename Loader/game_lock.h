// One demo at a time per game folder: the game reads its script only a
// while after it starts, so a second loader's script would reach the first
// game too.
//
// The lock is a named event that exists while any process holds a handle to
// it. The game inherits the loader's handle, and the programs it starts
// inherit it from the game, so the lock lasts as long as the game runs, even
// when the loader is ended meanwhile (a mutex would be abandoned then).
#pragma once

#include "win32/unique_handles.h"

#include <string>

namespace dravik {

class GameLock {
public:
    // Takes the lock of the game folder; false while a game started by
    // another loader runs. Where Windows cannot make the lock at all, the
    // demo plays unguarded.
    bool TryTake(const std::wstring& general);
    // Lets go of it once the game has ended.
    void Release() { event_.reset(); }

private:
    UniqueHandle event_;
};

}  // namespace dravik
