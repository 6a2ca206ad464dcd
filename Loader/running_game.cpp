#include "running_game.h"

#include "rules/game_log.h"

#include <windows.h>

namespace dravik {

bool GameRuns(const std::wstring& gamePath)
{
    const std::wstring logWindow = GameLogWindowClass(gamePath);
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, logWindow.c_str(), nullptr)) != nullptr;) {
        if (GetPropW(window, kRunningGameProperty) != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace dravik
