#include "rules/loader_demo_form.h"

#include "rules/game_reading.h"
#include "rules/text_join.h"

namespace dravik {

namespace {

constexpr wchar_t kTemporaryPrefix[] = L"Dravik-";
constexpr std::size_t kPrefixLength = sizeof kTemporaryPrefix / sizeof kTemporaryPrefix[0] - 1;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

void AppendHex(std::wstring& text, unsigned long long value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += kHexDigits[(value >> shift) & 0xF];
    }
}

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

std::wstring AsciiLowered(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

}  // namespace

DemoChoice ChooseDemoForm(const DemoFacts& facts, const std::wstring& temporaryName)
{
    if (GameOpensPath(facts.demo)) {
        return {DemoForm::InPlace, facts.demo};
    }
    if (!facts.demoShort.empty() && GameOpensPath(facts.demoShort)) {
        return {DemoForm::ShortPath, facts.demoShort};
    }
    const DemoForm made = facts.linkable ? DemoForm::Link : DemoForm::Copy;
    for (const std::wstring* folder : {&facts.system, &facts.systemShort}) {
        const std::wstring path = Join({*folder, L"\\", temporaryName});
        if (!folder->empty() && GameOpensPath(path)) {
            return {made, path};
        }
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
        AsciiLowered(name.substr(name.size() - 4)) != L".dem") {
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
    const std::wstring lowered = AsciiLowered(path);
    const std::size_t dem = lowered.find(L".dem");
    if (dem != std::wstring::npos && dem + 4 < path.size()) {
        return L"holds \".dem\" before its end, which the game cuts out";
    }
    if (lowered.size() < 4 || lowered.compare(lowered.size() - 4, 4, L".dem") != 0) {
        return L"does not end in \".dem\"";
    }
    switch (DemoFileTheGameOpens(*script).reading) {
    case DemoReading::TooLong:
        return L"is 260 characters or longer, more than the game reads";
    case DemoReading::Protocol:
    case DemoReading::Server:
        return L"has a dot or colon that makes the game take it for an Internet address";
    default:
        return L"is not one that the game reads as it stands";
    }
}

std::wstring UnplayableDemoText(const DemoFacts& facts)
{
    const std::wstring sample = Join({facts.system, L"\\", TemporaryDemoName(0, 0)});
    return Join({L"The game cannot open the demo ", facts.demo, L" where it is: its path ",
                 UnreadablePathReason(facts.demo), L". Nor can the game read the path of its own System folder ",
                 facts.system, L", where Dravik would put a copy for it: that path ", UnreadablePathReason(sample),
                 L".\n\nMove the demo to a folder such as C:\\Demos, give it a name of plain letters, and open it "
                 L"again."});
}

}  // namespace dravik
