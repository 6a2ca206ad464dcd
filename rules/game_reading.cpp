#include "rules/game_reading.h"

#include <algorithm>

namespace dravik {

namespace {

constexpr char kDemoPlay[] = "demoplay";

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsAsciiLetter(wchar_t c)
{
    return AsciiLower(c) >= L'a' && AsciiLower(c) <= L'z';
}

// The script as the game's characters, up to its first line end.
std::wstring FirstLine(const ScriptBytes& script)
{
    const auto byte = [&script](std::size_t at) { return static_cast<unsigned char>(script[at]); };
    std::wstring text;
    const bool utf16 = script.size() >= 2 && script.size() % 2 == 0;
    const bool littleEndian = utf16 && byte(0) == 0xFF && byte(1) == 0xFE;
    const bool bigEndian = utf16 && byte(0) == 0xFE && byte(1) == 0xFF;
    if (littleEndian || bigEndian) {
        for (std::size_t at = 2; at + 1 < script.size(); at += 2) {
            const unsigned low = littleEndian ? byte(at) : byte(at + 1);
            const unsigned high = littleEndian ? byte(at + 1) : byte(at);
            text += static_cast<wchar_t>(low | high << 8);
        }
    } else {
        for (std::size_t at = 0; at < script.size(); ++at) {
            text += static_cast<wchar_t>(byte(at));
        }
    }
    // Read into a buffer of kScriptLineLength characters and its end: the
    // rest of a longer line is read as a line of its own.
    return text.substr(0, std::min(text.find_first_of(std::wstring(L"\r\n\0", 3)), kScriptLineLength));
}

// The line's first command: outside quotes, "//" starts a comment and '|'
// ends a command.
std::wstring FirstCommand(const std::wstring& line)
{
    bool quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == L'"') {
            quoted = !quoted;
        } else if (!quoted && (line[at] == L'|' || line.compare(at, 2, L"//") == 0)) {
            return line.substr(0, at);
        }
    }
    return line;
}

// The token after the line's "demoplay", or nothing where the line is no
// demoplay command.
std::optional<std::wstring> DemoPlayToken(const std::wstring& line)
{
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (!GameMatchesAt(line, at, kDemoPlay)) {
        return std::nullopt;
    }
    at += sizeof kDemoPlay - 1;
    if (at < line.size() && !IsBlank(line[at])) {
        return std::nullopt;
    }
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at < line.size() && line[at] == L'"') {
        const std::size_t close = line.find(L'"', at + 1);
        return line.substr(at + 1, close == std::wstring::npos ? close : close - (at + 1));
    }
    std::size_t end = at;
    while (end < line.size() && !IsBlank(line[end])) {
        ++end;
    }
    return line.substr(at, end - at);
}

// The file a token names, read as the engine reads a URL.
GameDemoFile FileOfToken(const std::wstring& token)
{
    std::wstring url = token;
    const std::size_t dem = GameFinds(url, ".dem");
    if (dem != std::wstring::npos) {
        url.erase(dem, 4);
    }

    const std::size_t optionsAt = url.find_first_of(L"?#");
    std::wstring path = url.substr(0, optionsAt);
    if (optionsAt != std::wstring::npos) {
        for (std::size_t part = optionsAt + 1; part <= url.size();) {
            const std::size_t end = std::min(url.find_first_of(L"?#", part), url.size());
            if (url.substr(part, end - part).find(L' ') != std::wstring::npos) {
                return {DemoReading::BlankInOption, {}};
            }
            part = end + 1;
        }
    }

    DemoReading reading = DemoReading::Opens;
    if (!(path.size() > 2 && IsAsciiLetter(path[0]) && path[1] == L':')) {
        const std::size_t colon = path.find(L':');
        const std::size_t dot = path.find(L'.');
        if (colon != std::wstring::npos && (dot == std::wstring::npos || colon < dot)) {
            return {DemoReading::Protocol, {}};
        }
        if (dot != std::wstring::npos && !GameMatchesAt(path, dot, ".ut2") && !GameMatchesAt(path, dot, ".uvx")) {
            return {DemoReading::Server, {}};
        }
        if (path.compare(0, 2, L"\\\\") != 0) {
            reading = DemoReading::OpensRelative;
        }
    }
    return {reading, path + L".dem"};
}

}  // namespace

bool IsUT2004Demo(std::string_view firstBytes)
{
    return firstBytes == std::string_view("UT2004 DEMO FILE\x1A", kDemoHeaderSize);
}

bool GameMatchesAt(const std::wstring& text, std::size_t at, const char* lower)
{
    for (; *lower != '\0'; ++lower, ++at) {
        if (at >= text.size() || AsciiLower(text[at]) != static_cast<wchar_t>(*lower)) {
            return false;
        }
    }
    return true;
}

std::size_t GameFinds(const std::wstring& text, const char* lower)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (GameMatchesAt(text, at, lower)) {
            return at;
        }
    }
    return std::wstring::npos;
}

GameDemoFile DemoFileTheGameOpens(const ScriptBytes& script)
{
    const std::optional<std::wstring> token = DemoPlayToken(FirstCommand(FirstLine(script)));
    if (!token) {
        return {DemoReading::NoDemoCommand, {}};
    }
    if (token->empty()) {
        return {DemoReading::NoName, {}};
    }
    return FileOfToken(*token);
}

std::optional<ScriptBytes> DemoPlayScript(const std::wstring& path, bool quoted)
{
    ScriptBytes script(kDemoPlay, kDemoPlay + sizeof kDemoPlay - 1);
    script.push_back(' ');
    if (quoted) {
        script.push_back('"');
    }
    for (const wchar_t c : path) {
        if (!((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF))) {
            return std::nullopt;
        }
        script.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    if (quoted) {
        script.push_back('"');
    }
    return script;
}

bool GameOpensPath(const std::wstring& path)
{
    const std::optional<ScriptBytes> script = DemoPlayScript(path);
    if (!script || path.size() < 4 || !GameMatchesAt(path, path.size() - 4, ".dem")) {
        return false;
    }
    const GameDemoFile opened = DemoFileTheGameOpens(*script);
    return opened.reading == DemoReading::Opens && opened.file.size() == path.size() &&
           opened.file.compare(0, path.size() - 4, path, 0, path.size() - 4) == 0;
}

}  // namespace dravik
