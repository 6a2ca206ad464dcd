// How the game reads its exec script, and so which file its "demoplay"
// command opens. These are the game engine's rules, not Windows':
//  1. Each byte of the script is the character with that code point (byte
//     0xC4 is U+00C4 on every Windows), whatever the ANSI code page; a script
//     of even size that starts with a UTF-16 byte-order mark is read as
//     UTF-16. A line is read into a buffer of 255 characters: the rest of a
//     longer one is read as the next line. Outside quotes, "//" starts a
//     comment and '|' ends a command.
//  2. "demoplay" takes one token: in double quotes up to the next quote (or
//     the line's end), or else up to the first blank or tab.
//  3. The first ".dem" in the token, in any letter case, is cut out.
//  4. The rest is a URL. The first '?' or '#' ends its path, and a part after one that holds a blank spoils
//     the whole URL. A path with a drive letter is a file name. Without one,
//     a ':' before any '.' names a protocol, and a '.' (unless ".ut2" or
//     ".uvx" follows it) names a server: no file then. A UNC path is a file
//     name as it stands; any other name is relative to the System folder.
//  5. ".dem" is appended, and the game opens the file. (The file functions'
//     MAX_PATH is never reached: a path ends with the line's 255 characters.)
// Plain rules, free of Windows headers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

// The exec script's bytes, exactly as they go into udemo.ini.
using ScriptBytes = std::vector<char>;

// Windows' MAX_PATH: the ordinary file functions take only shorter paths.
inline constexpr std::size_t kMaxPath = 260;

// The characters of a script line that the game reads as one line, and
// of a path after 'demoplay "' on it.
inline constexpr std::size_t kScriptLineLength = 255;
inline constexpr std::size_t kLongestScriptPath = kScriptLineLength - 10;

enum class DemoReading {
    Opens,          // the game opens `file`
    OpensRelative,  // the game opens `file` in its System folder
    NoDemoCommand,  // the script's line is no demoplay command
    NoName,         // demoplay without a name
    BlankInOption,  // a part after '?' or '#' holds a blank: the URL is invalid
    Protocol,       // a ':' before any '.': taken for a protocol
    Server,         // a '.': taken for a server's name
};

struct GameDemoFile {
    DemoReading reading = DemoReading::NoDemoCommand;
    std::wstring file;  // where the game opens one
};

// Which file the game's demoplay command opens, given the script's bytes.
GameDemoFile DemoFileTheGameOpens(const ScriptBytes& script);

// `demoplay "<path>"` (or unquoted, `demoplay <path>`), one byte for each
// character. Nothing where the path holds a character that is neither ASCII
// nor U+00A0 to U+00FF: the game would read another one in its place.
std::optional<ScriptBytes> DemoPlayScript(const std::wstring& path, bool quoted = true);

// True when the game, given this path in its script, opens exactly this file
// (".dem" at its end in any ASCII letter case).
bool GameOpensPath(const std::wstring& path);

// A UT2004 demo starts with the 16 characters "UT2004 DEMO FILE" and the
// byte 0x1A; UT2003's demos have no such header, and UT2003 cannot play
// UT2004's. firstBytes: the file's first kDemoHeaderSize bytes, or all of a
// shorter file.
inline constexpr std::size_t kDemoHeaderSize = 17;
bool IsUT2004Demo(std::string_view firstBytes);

// The game's own comparison of letters, which folds only ASCII letters:
// whether text holds `lower` (ASCII, in lower case) at `at`, and where it
// holds it first (npos where nowhere).
bool GameMatchesAt(const std::wstring& text, std::size_t at, const char* lower);
std::size_t GameFinds(const std::wstring& text, const char* lower);

}  // namespace dravik
