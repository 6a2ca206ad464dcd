#include "game_lock.h"

#include "rules/loader_rules.h"

namespace dravik {

bool GameLock::TryTake(const std::wstring& general)
{
    // The one handle the loader lets the game inherit (XP cannot name the
    // handles to inherit, so every other handle must stay uninheritable).
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    event_.reset(CreateEventW(&inheritable, TRUE, FALSE, GameLockName(general).c_str()));
    if (event_ && GetLastError() == ERROR_ALREADY_EXISTS) {
        // Our own handle would keep the lock alive after that game ends.
        event_.reset();
        return false;
    }
    return true;
}

}  // namespace dravik
