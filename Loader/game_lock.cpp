#include "game_lock.h"

#include "loader_rules.h"

namespace dravik {

bool GameLock::TryTake(const std::wstring& general)
{
    Release();
    mutex_.reset(CreateMutexW(nullptr, FALSE, GameLockName(general).c_str()));
    if (!mutex_) {
        return true;
    }
    // Abandoned: a loader ended without letting go; the lock is ours now.
    const DWORD waited = WaitForSingleObject(mutex_.get(), 0);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (!owned_) {
        mutex_.reset();
    }
    return owned_ || waited == WAIT_FAILED;
}

void GameLock::Release()
{
    if (owned_) {
        ReleaseMutex(mutex_.get());
        owned_ = false;
    }
    mutex_.reset();
}

}  // namespace dravik
