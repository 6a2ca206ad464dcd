// The game's log: where it is, the window of a running game's log, and what
// it tells of a run: whether the game could play the demo it was asked to,
// and how it crashed. These are the game engine's facts:
//  - The game writes <its folder>\<its name>.log (System\UT2003.log) anew at
//    each start, whole only once it has ended; a copy that hands its command
//    line to one that already runs writes none.
//  - 8-bit text without a byte-order mark, lines ended by CR LF, each
//    "<Event>: <text>" ("Log:", "Init:", "Warning:", "Critical:", "Exit:").
//  - Asked to play a demo, it logs "Attempting to play demo <path>", then
//    the demo's own messages, among them why it could not play it: a package
//    it does not have ("Pending connect to '<url>' failed; Missing package
//    '<name>' for demo playback", or in older builds "Don't have package for
//    demo: <name>", or "Failed to load '<x>': Can't find file for package
//    '<name>'"), or a package of another version ("Failed to load '<x>':
//    Package '<name>' version mismatch"). A demo file it cannot open leaves
//    no reason.
//  - A crash is written as "Critical:" lines.
// Plain rules, free of Windows headers.
#pragma once

#include <string>
#include <string_view>

namespace dravik {

// Where the game writes its log: its own folder and name, ".log" for ".exe".
std::wstring GameLogPath(const std::wstring& path);

// The game's running client has a hidden log window of this class (its file
// name without ".exe", then "UnrealWLog") that carries the window property
// kRunningGameProperty. A game that starts hands its command line to that
// copy and ends at once, unless its own command line (its path too) holds
// NewWindow, changevideo, TestRenDev or COMMAND= in any letter case: then it
// starts another copy.
inline constexpr wchar_t kRunningGameProperty[] = L"IsBrowser";
std::wstring GameLogWindowClass(const std::wstring& path);
bool StartsAnotherCopy(const std::wstring& commandLine);

enum class DemoFailure {
    None,            // the log names no reason why the demo did not play
    MissingPackage,  // the demo needs a package that the game does not have
    OtherVersion,    // the demo was recorded with another version of a package
};

struct GameLogReading {
    DemoFailure failure = DemoFailure::None;
    std::wstring package;   // the package that failure names
    std::wstring critical;  // the first "Critical:" line's text; empty where none
};

// What is asked of a log: why the demo did not play, after a game that
// ended as usual; how the game crashed, after one that did not. Only that is
// searched for: a log runs to megabytes.
enum class LogQuestion { WhyNotPlayed, HowItCrashed };

// Reads the log's bytes as they come, in pieces of any size. A long log may
// be given as its head and its tail, with Gap() between them for the part
// left out: each side then loses the line that the cut broke. Only the lines
// after the first "Attempting to play demo" line, and before any later one,
// may tell why the demo did not play.
class GameLogReader {
public:
    explicit GameLogReader(LogQuestion question) : question_(question) {}
    void Read(std::string_view bytes);
    void Gap();
    // What the log said, its last line read even without a line end.
    GameLogReading Finish();

private:
    void ReadLines(std::string_view lines);
    void FindCritical(std::string_view lines);
    void FindFailure(std::string_view lines);

    LogQuestion question_;
    std::string unfinished_;  // the last line, until its end comes
    bool skippingLine_ = false;
    int attempts_ = 0;
    GameLogReading reading_;
};

// The reader's answer for a log in one piece, or in two with the gap between.
GameLogReading ReadGameLog(LogQuestion question, std::string_view head, std::string_view tail = {});

}  // namespace dravik
