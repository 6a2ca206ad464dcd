#include "rules/loader_demo_form.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace dravik {
namespace {

const std::wstring kName = TemporaryDemoName(0x1234, 0x01DB4C5E12345678ull);
const std::wstring kSystem = L"C:\\UT2003\\System";

// What Windows would tell, planted; counts how often the choice asks.
struct PlantedFacts final : DemoFacts {
    PlantedFacts(std::wstring demoShort, bool linkable, std::wstring system, std::wstring systemShort)
        : demoShort(std::move(demoShort)), linkable(linkable), system(std::move(system)),
          systemShort(std::move(systemShort))
    {
    }
    std::wstring DemoShort() override { return ++asked, demoShort; }
    bool Linkable() override { return ++asked, linkable; }
    std::wstring System() override { return ++asked, system; }
    std::wstring SystemShort() override { return ++asked, systemShort; }

    std::wstring demoShort;
    bool linkable;
    std::wstring system;
    std::wstring systemShort;
    int asked = 0;
};

// The cases Windows shows only on some machines, Wine never: volumes without
// short names (Windows 10 and 11 data volumes, exFAT), short names in the
// OEM code page's letters, servers with dots, game folders the game cannot
// read itself. A path the game reads as it stands asks Windows nothing.
TEST(ChooseDemoForm, TakesTheFirstFormTheGameReadsAsTheDemo)
{
    struct Case {
        const char* name;
        std::wstring demo;
        PlantedFacts facts;
        DemoForm form;
        std::wstring path;
        int asked;  // facts asked for, each costing a look at the disk
    };
    const std::wstring deep = L"C:\\" + std::wstring(250, L'd') + L"\\duel.dem";
    const std::wstring cyrillic = L"D:\\\u0414\u0435\u043c\u043a\u0438\\\u043c\u0430\u0442\u0447.dem";
    Case cases[] = {
        {"plain", L"C:\\My Demos\\duel.dem", {L"C:\\MYDEMO~1\\duel.dem", true, kSystem, kSystem}, DemoForm::InPlace,
         L"C:\\My Demos\\duel.dem", 0},
        {"no demo", L"", {L"", true, kSystem, kSystem}, DemoForm::InPlace, L"", 0},
        {"Latin-1 in place", L"C:\\D\u00e9mos\\\u00e0.dem", {L"C:\\DMOS~1\\0A1B~1.DEM", true, kSystem, kSystem},
         DemoForm::InPlace, L"C:\\D\u00e9mos\\\u00e0.dem", 0},
        {"short form", cyrillic, {L"D:\\3F2A~1\\C9B1~1.DEM", true, kSystem, kSystem}, DemoForm::ShortPath,
         L"D:\\3F2A~1\\C9B1~1.DEM", 1},
        {"no short name", cyrillic, {cyrillic, true, kSystem, kSystem}, DemoForm::Link, kSystem + L"\\" + kName, 3},
        {"none at all", cyrillic, {L"", true, kSystem, L""}, DemoForm::Link, kSystem + L"\\" + kName, 3},
        {"short name in the OEM code page", cyrillic,
         {L"D:\\\u0414\u0415\u041c\u041a\u0418\\\u041c\u0410\u0422\u0427.DEM", true, kSystem, kSystem},
         DemoForm::Link, kSystem + L"\\" + kName, 3},
        {"short name with .DEM in a folder", L"C:\\ut2003.demos\\x.dem", {L"C:\\UT2003~1.DEM\\x.dem", true, kSystem,
         kSystem}, DemoForm::Link, kSystem + L"\\" + kName, 3},
        {"read-only or held open", L"C:\\ut2003.demos\\x.dem", {L"", false, kSystem, kSystem}, DemoForm::Copy,
         kSystem + L"\\" + kName, 3},
        {"server with dots", L"\\\\fs.clan.org\\demos\\x.dem", {L"\\\\fs.clan.org\\demos\\x.dem", true, kSystem,
         kSystem}, DemoForm::Link, kSystem + L"\\" + kName, 3},
        {"too long, short form fits", deep, {L"C:\\DDDDDD~1\\duel.dem", true, kSystem, kSystem}, DemoForm::ShortPath,
         L"C:\\DDDDDD~1\\duel.dem", 1},
        {"game folder the game cannot read", L"C:\\Demos #1\\x.dem", {L"", true, L"C:\\Games\\UT2003.demo\\System",
         L"C:\\Games\\UT2003~1\\System"}, DemoForm::Link, L"C:\\Games\\UT2003~1\\System\\" + kName, 4},
        {"and neither its short form", L"C:\\Demos #1\\x.dem", {L"", false, L"C:\\\u0418\u0433\u0440\u044b\\System",
         L"C:\\\u0418\u0413\u0420\u042b\\System"}, DemoForm::None, L"", 4},
        {"nor has it one", L"C:\\Demos #1\\x.dem", {L"", true, L"C:\\#1\\System", L""}, DemoForm::None, L"", 4},
    };
    for (Case& c : cases) {
        const DemoChoice choice = ChooseDemoForm(c.demo, c.facts, kName);
        EXPECT_EQ(choice.form, c.form) << c.name;
        EXPECT_EQ(choice.path, c.path) << c.name << ": " << choice.path;
        EXPECT_EQ(c.facts.asked, c.asked) << c.name;
    }
}

TEST(TemporaryDemoName, IsTheGamesOwnAndOnlyItsOwnAreSweptAway)
{
    EXPECT_EQ(kName, L"Dravik-00001234-01DB4C5E12345678.dem");
    EXPECT_TRUE(IsTemporaryDemoName(kName));
    EXPECT_TRUE(IsTemporaryDemoName(L"Dravik-FFFFFFFF-0000000000000000.DEM"));
    for (const wchar_t* other : {L"Dravik-00001234-01DB4C5E1234567.dem", L"Dravik-00001234-01DB4C5E123456789.dem",
                                 L"Dravik-0000123G-01DB4C5E12345678.dem", L"Dravik-00001234_01DB4C5E12345678.dem",
                                 L"dravik-00001234-01DB4C5E12345678.dem", L"Dravik-00001234-01DB4C5E12345678.dem.txt",
                                 L"Dravik-00001234-01DB4C5E12345678.demo", L"DRAVIK~1.DEM", L"Dravik-duel.dem"}) {
        EXPECT_FALSE(IsTemporaryDemoName(other)) << other;
    }
}

TEST(UnplayableDemoText, SaysWhyNeitherTheDemoNorTheGameFolderIsReadable)
{
    const std::wstring text = UnplayableDemoText(L"C:\\Demos #1\\x.dem", L"C:\\UT2003.demos\\System");
    EXPECT_NE(text.find(L"C:\\Demos #1\\x.dem where it is: its path holds a \"#\""), std::wstring::npos)
        << text;
    EXPECT_NE(text.find(L"C:\\UT2003.demos\\System, where Dravik would put a copy for it: that path holds \".dem\" "
                        L"before its end"),
              std::wstring::npos)
        << text;
    struct Case {
        std::wstring path;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {L"C:\\Demos\\duel.dem", L""},
        {L"C:\\\u20ac\\x.dem", L"letters"},
        {L"C:\\Why?\\x.dem", L"\"#\" or \"?\""},
        {L"C:\\x.demo", L"\".dem\" before its end"},
        {L"C:\\x.txt", L"does not end in \".dem\""},
        {L"C:\\" + std::wstring(239, L'x') + L".dem", L"longer than the 245 characters"},
        {L"\\\\fs.clan.org\\x.dem", L"Internet address"},
    };
    for (const Case& c : cases) {
        const std::wstring reason = UnreadablePathReason(c.path);
        EXPECT_NE(reason.find(c.reason), std::wstring::npos) << c.path << ": " << reason;
        EXPECT_EQ(reason.empty(), *c.reason == L'\0') << c.path;
    }
}

}  // namespace
}  // namespace dravik
