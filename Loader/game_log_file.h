// The game's log file (rules/game_log.h), looked at before the game starts so
// that the log it leaves can be told from an earlier run's.
#pragma once

#include "rules/game_log.h"

#include <windows.h>

#include <string>

namespace dravik {

class GameLogFile {
public:
    // Notes the log's size and last write, or that it is missing.
    explicit GameLogFile(std::wstring path);

    // What this run's log says: the log is this run's where its size or last
    // write changed since the note. Nothing where it is missing, unchanged,
    // or cannot be read. A long log is read as its first and last 2 MiB.
    GameLogReading ReadThisRun(LogQuestion question) const;

private:
    struct State {
        bool exists = false;
        ULARGE_INTEGER size = {};
        FILETIME written = {};
    };
    static State Look(const std::wstring& path);

    std::wstring path_;
    State before_;
};

}  // namespace dravik
