// One demo at a time per game folder: the game reads its script only a
// while after it starts, so a second loader's script would reach the first
// game too.
#pragma once

#include "unique_handles.h"

#include <string>

namespace dravik {

class GameLock {
public:
    GameLock() = default;
    GameLock(const GameLock&) = delete;
    GameLock& operator=(const GameLock&) = delete;
    ~GameLock() { Release(); }

    // Takes the lock of the game folder; false while another loader holds
    // it. Where Windows cannot make the lock at all, the demo plays unguarded.
    bool TryTake(const std::wstring& general);
    void Release();

private:
    UniqueHandle mutex_;
    bool owned_ = false;
};

}  // namespace dravik
