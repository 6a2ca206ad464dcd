// Which form of a demo's path the loader writes into the game's script: the
// path itself where the game reads it as it stands, else its short (8.3)
// form, else a temporary hard link or copy in the game's System folder
// under a name the game reads. Plain rules, free of Windows headers.
#pragma once

#include <string>

namespace dravik {

// What Windows tells about the demo and the game's System folder. Each fact
// costs Windows a look at the disk, which the game's start waits for, so the
// choice asks for a fact only when it comes to it.
class DemoFacts {
public:
    virtual std::wstring DemoShort() = 0;    // the demo's short form; empty where Windows has none
    virtual bool Linkable() = 0;             // a hard link to it can be made and removed again
    virtual std::wstring System() = 0;       // the game's System folder, full path
    virtual std::wstring SystemShort() = 0;  // its short form; empty where Windows has none

protected:
    ~DemoFacts() = default;
};

enum class DemoForm {
    InPlace,    // the demo's own path
    ShortPath,  // the demo's short path
    Link,       // a hard link to the demo, made for this game
    Copy,       // a copy of the demo, made for this game
    None,       // nothing the game can read
};

struct DemoChoice {
    DemoForm form = DemoForm::None;
    std::wstring path;  // what the script names
};

// The first form the game reads as the demo (full path): the path itself, its
// short form, or a link or copy with the given name in the System folder, or
// in its short form where only that works. An empty path (the game started
// without a demo) stays as it is, as does a path the game reads as it stands:
// the usual case costs only this check in memory.
DemoChoice ChooseDemoForm(const std::wstring& demo, DemoFacts& facts, const std::wstring& temporaryName);

// Names of links and copies: "Dravik-<8 hex digits>-<16 hex digits>.dem",
// from the loader's process id and its start time, so that each run has its
// own (an older game may still hold an older one). They hold no ".dem" but
// at their end, no '#' and no '?'.
std::wstring TemporaryDemoName(unsigned long processId, unsigned long long startTime);
bool IsTemporaryDemoName(const std::wstring& name);
inline constexpr wchar_t kTemporaryDemoPattern[] = L"Dravik-*.dem";

// Why the game would not open the file at this path, for a message
// ("holds letters that the game reads as others"); empty where it would.
std::wstring UnreadablePathReason(const std::wstring& path);

// The error description for a demo that no form makes the game play, given
// the System folder's full path.
std::wstring UnplayableDemoText(const std::wstring& demo, const std::wstring& system);

}  // namespace dravik
