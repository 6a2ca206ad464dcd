#include "game_lock.h"

#include "rules/loader_rules.h"
#include "rules/text_join.h"
#include "win32/failure.h"

namespace dravik {

GameLockState GameLock::Take(const std::wstring& general)
{
    // Not inheritable: the game gets a handle of its own, and nothing else
    // the loader started would.
    event_.reset(CreateEventW(nullptr, TRUE, FALSE, GameLockName(general).c_str()));
    const DWORD error = GetLastError();
    if (!event_) {
        if (error == ERROR_ACCESS_DENIED) {
            return GameLockState::OtherAccount;
        }
        throw Failure(Join({L"Dravik cannot make sure that only one demo plays in the game at ", general, L": ",
                            SystemErrorText(error)}));
    }
    if (error == ERROR_ALREADY_EXISTS) {
        const bool playing = WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0;
        // Our own handle would keep the lock alive after that game ends.
        event_.reset();
        return playing ? GameLockState::Playing : GameLockState::Preparing;
    }
    return GameLockState::Ours;
}

}  // namespace dravik
