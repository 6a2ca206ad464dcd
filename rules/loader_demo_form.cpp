#include "rules/loader_demo_form.h"

#include "rules/game_reading.h"
#include "rules/text_join.h"
#include "rules/windows_names.h"

namespace dravik {

namespace {

constexpr wchar_t kTemporaryPrefix[] = L"Dravik-";
constexpr std::size_t kPrefixLength = sizeof kTemporaryPrefix / sizeof kTemporaryPrefix[0] - 1;

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

}  // namespace

DemoChoice ChooseDemoForm(const std::wstring& demo, DemoFacts& facts, const std::wstring& temporaryName)
{
    if (demo.empty() || GameOpensPath(demo)) {
        return {DemoForm::InPlace, demo};
    }
    const std::wstring demoShort = facts.DemoShort();
    if (!demoShort.empty() && GameOpensPath(demoShort)) {
        return {DemoForm::ShortPath, demoShort};
    }
    const DemoForm made = facts.Linkable() ? DemoForm::Link : DemoForm::Copy;
    std::wstring path = Join({facts.System(), L"\\", temporaryName});
    if (GameOpensPath(path)) {
        return {made, path};
    }
    const std::wstring systemShort = facts.SystemShort();
    path = Join({systemShort, L"\\", temporaryName});
    if (!systemShort.empty() && GameOpensPath(path)) {
        return {made, path};
    }
    return {DemoForm::None, std::wstring()};
}

std::wstring TemporaryDemoName(unsigned long processId, unsigned long long startTime)
{
    std::wstring name = kTemporaryPrefix;
    AppendHex(name, processId, 8);
    name += L'-';
    AppendHex(name, startTime, 16);
    return name + L".dem";
}

bool IsTemporaryDemoName(const std::wstring& name)
{
    const std::wstring sample = TemporaryDemoName(0, 0);
    if (name.size() != sample.size() || name.compare(0, kPrefixLength, kTemporaryPrefix) != 0 ||
        !EndsWithName(name, L".dem")) {
        return false;
    }
    for (std::size_t at = kPrefixLength; at < name.size() - 4; ++at) {
        if (sample[at] == L'-' ? name[at] != L'-' : !IsHexDigit(name[at])) {
            return false;
        }
    }
    return true;
}

std::wstring UnreadablePathReason(const std::wstring& path)
{
    if (GameOpensPath(path)) {
        return std::wstring();
    }
    const std::optional<ScriptBytes> script = DemoPlayScript(path);
    if (!script) {
        return L"holds letters that the game reads as other letters";
    }
    if (path.find_first_of(L"#?") != std::wstring::npos) {
        return L"holds a \"#\" or \"?\", where the game's reading of a path ends";
    }
    const std::size_t dem = GameFinds(path, ".dem");
    if (dem != std::wstring::npos && dem + 4 < path.size()) {
        return L"holds \".dem\" before its end, which the game cuts out";
    }
    if (dem == std::wstring::npos) {
        return L"does not end in \".dem\"";
    }
    static_assert(kLongestScriptPath == 245, "the message names the length");
    if (path.size() > kLongestScriptPath) {
        return L"is longer than the 245 characters of a path that the game reads from a line of its script";
    }
    switch (DemoFileTheGameOpens(*script).reading) {
    case DemoReading::Protocol:
    case DemoReading::Server:
        return L"has a dot or colon that makes the game take it for an Internet address";
    default:
        return L"is not one that the game reads as it stands";
    }
}

std::wstring UnplayableDemoText(const std::wstring& demo, const std::wstring& system)
{
    const std::wstring sample = Join({system, L"\\", TemporaryDemoName(0, 0)});
    return Join({L"The game cannot open the demo ", demo, L" where it is: its path ", UnreadablePathReason(demo),
                 L". Nor can the game read the path of its own System folder ", system,
                 L", where Dravik would put a copy for it: that path ", UnreadablePathReason(sample),
                 L".\n\nMove the demo to a folder such as C:\\Demos, give it a name of plain letters, and open it "
                 L"again."});
}

}  // namespace dravik
