#include "rules/game_log.h"

#include "rules/game_reading.h"
#include "rules/text_join.h"

#include <optional>

namespace dravik {

namespace {

constexpr std::string_view kAttempting = "Attempting to play demo";
constexpr std::string_view kCritical = "Critical: ";

// Takes the first line off the text, without its line end.
std::string_view TakeLine(std::string_view& text)
{
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// The game's characters: one byte each, as the log holds them.
std::wstring Text(std::string_view bytes)
{
    std::wstring text;
    for (const char byte : bytes) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

// The text between `before` and the next `after` in the line, where it
// holds both.
std::optional<std::string_view> Between(std::string_view line, std::string_view before, std::string_view after)
{
    const std::size_t start = line.find(before);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    line.remove_prefix(start + before.size());
    const std::size_t end = line.find(after);
    if (end == std::string_view::npos || end == 0) {
        return std::nullopt;
    }
    return line.substr(0, end);
}

// Why the demo did not play, where the line says so.
void ReadFailure(std::string_view line, GameLogReading& reading)
{
    std::optional<std::string_view> package = Between(line, "Missing package '", "' for demo playback");
    if (!package && line.find("Failed to load '") != std::string_view::npos) {
        package = Between(line, "': Can't find file for package '", "'");
        if (const auto other = Between(line, "': Package '", "' version mismatch")) {
            reading.failure = DemoFailure::OtherVersion;
            reading.package = Text(*other);
            return;
        }
    }
    if (!package) {
        constexpr std::string_view kDoNotHave = "Don't have package for demo: ";
        const std::size_t at = line.find(kDoNotHave);
        if (at != std::string_view::npos) {
            std::string_view name = line.substr(at + kDoNotHave.size());
            while (!name.empty() && name.back() == ' ') {
                name.remove_suffix(1);
            }
            if (!name.empty()) {
                package = name;
            }
        }
    }
    if (package) {
        reading.failure = DemoFailure::MissingPackage;
        reading.package = Text(*package);
    }
}

// Where the file name in the path ends before its extension.
std::size_t NameEnd(const std::wstring& path)
{
    const std::size_t name = path.find_last_of(L'\\') + 1;
    const std::size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && dot >= name ? dot : path.size();
}

}  // namespace

std::wstring GameLogPath(const std::wstring& path)
{
    return Join({std::wstring_view(path).substr(0, NameEnd(path)), L".log"});
}

std::wstring GameLogWindowClass(const std::wstring& path)
{
    const std::size_t name = path.find_last_of(L'\\') + 1;
    return Join({std::wstring_view(path).substr(name, NameEnd(path) - name), L"UnrealWLog"});
}

bool StartsAnotherCopy(const std::wstring& commandLine)
{
    for (const char* word : {"newwindow", "changevideo", "testrendev", "command="}) {
        if (GameFinds(commandLine, word) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

GameLogReading ReadGameLog(std::string_view head, std::string_view tail)
{
    if (!tail.empty()) {
        // Only whole lines on either side of the part left out.
        head = head.substr(0, head.rfind('\n') + 1);
        const std::size_t firstEnd = tail.find('\n');
        tail = firstEnd == std::string_view::npos ? std::string_view() : tail.substr(firstEnd + 1);
    }
    GameLogReading reading;
    int attempts = 0;
    for (std::string_view text : {head, tail}) {
        while (!text.empty()) {
            const std::string_view line = TakeLine(text);
            if (line.compare(0, kCritical.size(), kCritical) == 0 && reading.critical.empty()) {
                reading.critical = Text(line.substr(kCritical.size()));
            }
            if (line.find(kAttempting) != std::string_view::npos) {
                ++attempts;
            } else if (attempts == 1 && reading.failure == DemoFailure::None) {
                ReadFailure(line, reading);
            }
        }
    }
    return reading;
}

}  // namespace dravik
