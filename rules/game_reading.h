// How the game reads its exec script, and so which file its "demoplay"
// command opens. These are the game engine's rules, not Windows':
//  1. Each byte of the script is the character with that code point (byte
//     0xC4 is U+00C4 on every Windows), whatever the ANSI code page; a script
//     that starts with a UTF-16 byte-order mark is read as UTF-16.
//  2. "demoplay" takes one token: in double quotes up to the next quote, or
//     else up to the first blank or tab.
//  3. The first ".dem" in the token, in any letter case, is cut out.
//  4. The rest is a URL, of which 1,023 characters are kept. The first '?'
//     or '#' ends its path, and a part after one that holds a blank spoils
//     the whole URL. A path with a drive letter is a file name. Without one,
//     a ':' before any '.' names a protocol, and a '.' (unless ".ut2" or
//     ".uvx" follows it) names a server: no file then. A UNC path is a file
//     name as it stands; any other name is relative to the System folder.
//  5. ".dem" is appended.
//  6. The game opens the file with the ordinary file functions, which fail
//     on a path of MAX_PATH characters or more.
// Plain rules, free of Windows headers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dravik {

// The exec script's bytes, exactly as they go into udemo.ini.
using ScriptBytes = std::vector<char>;

// Windows' MAX_PATH: the ordinary file functions take only shorter paths.
inline constexpr std::size_t kMaxPath = 260;

enum class DemoReading {
    Opens,          // the game opens `file`
    OpensRelative,  // the game opens `file` in its System folder
    NoDemoCommand,  // the script's line is no demoplay command
    NoName,         // demoplay without a name
    BlankInOption,  // a part after '?' or '#' holds a blank: the URL is invalid
    Protocol,       // a ':' before any '.': taken for a protocol
    Server,         // a '.': taken for a server's name
    TooLong,        // MAX_PATH characters or more
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

// The game's own comparison of letters, which folds only ASCII letters:
// whether text holds `lower` (ASCII, in lower case) at `at`, and where it
// holds it first (npos where nowhere).
bool GameMatchesAt(const std::wstring& text, std::size_t at, const char* lower);
std::size_t GameFinds(const std::wstring& text, const char* lower);

}  // namespace dravik
