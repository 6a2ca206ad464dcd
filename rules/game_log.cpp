#include "rules/game_log.h"

#include "rules/game_reading.h"
#include "rules/text_join.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace dravik {

namespace {

constexpr std::string_view kAttempting = "Attempting to play demo";
constexpr std::string_view kCritical = "Critical: ";

constexpr std::size_t kNone = std::string_view::npos;

// Where the pattern is in the text from `from` on. A log runs to megabytes
// of lines that matter not, so it is searched for the few that do rather
// than read line by line: Horspool's search looks at the byte under the
// pattern's last one and skips as far as that byte allows, most of its
// length where the byte is not in the pattern.
std::size_t Find(std::string_view text, std::string_view pattern, std::size_t from = 0)
{
    const std::size_t last = pattern.size() - 1;
    unsigned char skip[256];
    std::fill(std::begin(skip), std::end(skip), static_cast<unsigned char>(pattern.size()));
    for (std::size_t i = 0; i < last; ++i) {
        skip[static_cast<unsigned char>(pattern[i])] = static_cast<unsigned char>(last - i);
    }
    const char* const bytes = text.data();
    for (std::size_t at = from; at + last < text.size(); at += skip[static_cast<unsigned char>(bytes[at + last])]) {
        if (bytes[at + last] == pattern[last] && std::equal(bytes + at, bytes + at + last, pattern.data())) {
            return at;
        }
    }
    return kNone;
}

// Where the line that holds `at` starts; the text's end where `at` is none.
std::size_t LineStart(std::string_view text, std::size_t at)
{
    return at == kNone ? text.size() : text.rfind('\n', at) + 1;
}

// Where the line after the one that holds `at` starts.
std::size_t NextLine(std::string_view text, std::size_t at)
{
    const std::size_t end = text.find('\n', at);
    return end == kNone ? text.size() : end + 1;
}

// The line that holds `at`, without its line end.
std::string_view LineAt(std::string_view text, std::size_t at)
{
    const std::size_t start = LineStart(text, at);
    std::string_view line = text.substr(start, NextLine(text, at) - start);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
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

void GameLogReader::Read(std::string_view bytes)
{
    if (skippingLine_) {
        const std::size_t end = bytes.find('\n');
        if (end == kNone) {
            return;
        }
        bytes.remove_prefix(end + 1);
        skippingLine_ = false;
    }
    const std::size_t last = bytes.rfind('\n');
    if (last == kNone) {
        unfinished_.append(bytes);
        return;
    }
    std::size_t whole = 0;
    if (!unfinished_.empty()) {
        whole = bytes.find('\n') + 1;
        unfinished_.append(bytes.substr(0, whole));
        ReadLines(unfinished_);
    }
    ReadLines(bytes.substr(whole, last + 1 - whole));
    unfinished_.assign(bytes.substr(last + 1));
}

void GameLogReader::Gap()
{
    unfinished_.clear();
    skippingLine_ = true;
}

GameLogReading GameLogReader::Finish()
{
    if (!skippingLine_) {
        ReadLines(unfinished_);
    }
    unfinished_.clear();
    return reading_;
}

// Whole lines, the last one's end perhaps missing.
void GameLogReader::ReadLines(std::string_view lines)
{
    if (question_ == LogQuestion::HowItCrashed) {
        if (reading_.critical.empty()) {
            FindCritical(lines);
        }
        return;
    }
    while (attempts_ < 2) {
        const std::size_t attempt = Find(lines, kAttempting);
        if (attempts_ == 1 && reading_.failure == DemoFailure::None) {
            FindFailure(lines.substr(0, LineStart(lines, attempt)));
        }
        if (attempt == kNone) {
            return;
        }
        ++attempts_;
        lines.remove_prefix(NextLine(lines, attempt));
    }
}

void GameLogReader::FindCritical(std::string_view lines)
{
    for (std::size_t at = Find(lines, kCritical); at != kNone; at = Find(lines, kCritical, at + 1)) {
        if (at == 0 || lines[at - 1] == '\n') {
            reading_.critical = Text(LineAt(lines, at).substr(kCritical.size()));
            if (!reading_.critical.empty()) {
                return;
            }
        }
    }
}

// The first line that names why the demo did not play. Every such line
// names a package.
void GameLogReader::FindFailure(std::string_view lines)
{
    constexpr std::string_view kMark = "ackage ";
    for (std::size_t at = Find(lines, kMark); at != kNone; at = Find(lines, kMark, NextLine(lines, at))) {
        ReadFailure(LineAt(lines, at), reading_);
        if (reading_.failure != DemoFailure::None) {
            return;
        }
    }
}

GameLogReading ReadGameLog(LogQuestion question, std::string_view head, std::string_view tail)
{
    GameLogReader reader(question);
    reader.Read(head);
    if (!tail.empty()) {
        reader.Gap();
        reader.Read(tail);
    }
    return reader.Finish();
}

}  // namespace dravik
