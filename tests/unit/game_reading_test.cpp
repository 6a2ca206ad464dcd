#include "rules/game_reading.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik {
namespace {

ScriptBytes Bytes(const std::string& text)
{
    return ScriptBytes(text.begin(), text.end());
}

TEST(DemoFileTheGameOpens, FollowsTheGamesReadingOfItsScript)
{
    struct Case {
        std::string script;
        DemoReading reading;
        std::wstring file;
    };
    const Case cases[] = {
        {"demoplay \"C:\\My Demos\\duel.dem\"", DemoReading::Opens, L"C:\\My Demos\\duel.dem"},
        {"DemoPlay C:\\demos\\duel.DEM", DemoReading::Opens, L"C:\\demos\\duel.dem"},
        {"  demoplay\t\"C:\\x.dem\"\r\nquit", DemoReading::Opens, L"C:\\x.dem"},
        // Each byte is the character of that code point, whatever the code page.
        {"demoplay \"C:\\\xC4\xE9\\\xE0.dem\"", DemoReading::Opens, L"C:\\\u00C4\u00E9\\\u00E0.dem"},
        {"demoplay \"C:\\\xC4\xEC\xE8.dem\"", DemoReading::Opens, L"C:\\\u00C4\u00EC\u00E8.dem"},
        // The token: up to the next quote, or up to a blank or tab.
        {"demoplay C:\\My Demos\\duel.dem", DemoReading::Opens, L"C:\\My.dem"},
        {"demoplay C:\\My\tDemos.dem", DemoReading::Opens, L"C:\\My.dem"},
        {"demoplay \"C:\\unclosed.dem", DemoReading::Opens, L"C:\\unclosed.dem"},
        // The first ".dem" is cut out, ".dem" is appended.
        {"demoplay \"C:\\Demos\\ut2003.demos\\final.dem\"", DemoReading::Opens, L"C:\\Demos\\ut2003os\\final.dem.dem"},
        {"demoplay \"C:\\Users\\j.demir\\match.dem\"", DemoReading::Opens, L"C:\\Users\\jir\\match.dem.dem"},
        {"demoplay \"C:\\final.demo.dem\"", DemoReading::Opens, L"C:\\finalo.dem.dem"},
        {"demoplay \"C:\\notes.txt\"", DemoReading::Opens, L"C:\\notes.txt.dem"},
        // '?' and '#' end the path; a blank after one spoils it all.
        {"demoplay \"C:\\Demos\\Clan #1\\x.dem\"", DemoReading::Opens, L"C:\\Demos\\Clan .dem"},
        {"demoplay \"C:\\Why?\\x.dem\"", DemoReading::Opens, L"C:\\Why.dem"},
        {"demoplay \"C:\\Demos\\Clan #1\\my duel.dem\"", DemoReading::BlankInOption, L""},
        {"demoplay \"C:\\a?b#c d.dem\"", DemoReading::BlankInOption, L""},
        // Without a drive letter: protocols, servers, UNC paths, relative names.
        {"demoplay \"\\\\server\\share\\x.dem\"", DemoReading::Opens, L"\\\\server\\share\\x.dem"},
        {"demoplay \"\\\\fs.clan.org\\share\\x.dem\"", DemoReading::Server, L""},
        {"demoplay \"\\\\server\\share\\v1.2\\x.dem\"", DemoReading::Server, L""},
        {"demoplay \"\\\\server\\maps.ut2\\x.dem\"", DemoReading::Opens, L"\\\\server\\maps.ut2\\x.dem"},
        {"demoplay \"\\\\server\\old.UVX\\x.dem\"", DemoReading::Opens, L"\\\\server\\old.UVX\\x.dem"},
        {"demoplay unreal://host/x.dem", DemoReading::Protocol, L""},
        {"demoplay \"\\\\?\\C:\\x.dem\"", DemoReading::Opens, L"\\\\.dem"},
        {"demoplay duel.dem", DemoReading::OpensRelative, L"duel.dem"},
        {"demoplay C:", DemoReading::Protocol, L""},
        // No demo at all.
        {"demoplay ", DemoReading::NoName, L""},
        {"demoplay \"\"", DemoReading::NoName, L""},
        {"demoplays C:\\x.dem", DemoReading::NoDemoCommand, L""},
        {"open C:\\x.dem", DemoReading::NoDemoCommand, L""},
        {"", DemoReading::NoDemoCommand, L""},
        // A byte-order mark: UTF-16, either way round.
        {std::string("\xFF\xFE" "d\0e\0m\0o\0p\0l\0a\0y\0 \0C\0:\0\\\0\x14\x04.\0d\0e\0m\0", 36), DemoReading::Opens,
         L"C:\\\u0414.dem"},
        {std::string("\xFE\xFF\0d\0e\0m\0o\0p\0l\0a\0y\0 \0C\0:\0\\\x04\x14\0.\0d\0e\0m", 36), DemoReading::Opens,
         L"C:\\\u0414.dem"},
    };
    for (const Case& c : cases) {
        const GameDemoFile opened = DemoFileTheGameOpens(Bytes(c.script));
        EXPECT_EQ(opened.reading, c.reading) << c.script;
        EXPECT_EQ(opened.file, c.file) << c.script;
    }
}

// A line is read into 255 characters, the rest as the next line: 245
// characters of a path fit after 'demoplay "' (the closing quote may spill
// over; the token then runs to the cut), 246 do not.
TEST(DemoFileTheGameOpens, ReadsALineUpTo255CharactersAndItsFirstCommand)
{
    const std::string longest = "C:\\" + std::string(238, 'a') + ".dem";
    const std::string tooLong = "C:\\" + std::string(239, 'a') + ".dem";
    ASSERT_EQ(longest.size(), kLongestScriptPath);
    struct Case {
        std::string script;
        std::wstring file;
    };
    const Case cases[] = {
        {"demoplay \"" + longest + "\"", std::wstring(longest.begin(), longest.end())},
        {"demoplay \"" + tooLong + "\"", L"C:\\" + std::wstring(239, L'a') + L".de.dem"},
        {"demoplay \"C:\\x.dem\" | quit", L"C:\\x.dem"},
        {"demoplay C:\\x.dem//note", L"C:\\x.dem"},
        {"demoplay \"C:\\a|b//c.dem\"", L"C:\\a|b//c.dem"},
        // A byte-order mark in a file of odd size is two bytes of text.
        {"\xFF\xFE" "demoplay C:\\x.dem", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DemoFileTheGameOpens(Bytes(c.script)).file, c.file) << c.script;
    }
}

TEST(GameOpensPath, OnlyPathsTheGameReadsAsTheyStand)
{
    struct Case {
        std::wstring path;
        bool opens;
    };
    const Case cases[] = {
        {L"C:\\My Demos\\duel 1.dem", true},
        {L"C:\\demos\\DUEL.DEM", true},
        {L"D:\\D\u00e9mos \u00e9t\u00e9\\\u00c7a va \u00f1 \u00ff.dem", true},
        {L"\\\\server\\share\\duel.dem", true},
        {L"C:\\Demos\\Clan #1\\x.dem", false},
        {L"C:\\Demos\\ut2003.demos\\final.dem", false},
        {L"C:\\Users\\j.demir\\match.dem", false},
        {L"C:\\final.demo.dem", false},
        {L"C:\\duel.dem.txt", false},
        {L"C:\\duel", false},
        // Letters the game would read as others: outside Latin-1, or its
        // control range, which Windows-1252 fills with letters.
        {L"C:\\\u0414\u0435\u043c\u043a\u0438\\\u043c\u0430\u0442\u0447.dem", false},
        {L"C:\\\u0141\u00f3d\u017a.dem", false},
        {L"C:\\\u8a66\u5408.dem", false},
        {L"C:\\\u20ac 5.dem", false},
        {L"C:\\\u0080.dem", false},
        {L"\\\\clan.example.org\\demos\\x.dem", false},
        {L"duel.dem", false},
        {L"C:\\" + std::wstring(238, L'a') + L".dem", true},
        {L"C:\\" + std::wstring(239, L'a') + L".dem", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GameOpensPath(c.path), c.opens) << c.path;
    }
}

TEST(DemoPlayScript, OneBytePerCharacterInQuotesUnlessAskedWithout)
{
    EXPECT_EQ(DemoPlayScript(L"C:\\\u00c4 \u00ff.dem"), Bytes("demoplay \"C:\\\xC4 \xFF.dem\""));
    EXPECT_EQ(DemoPlayScript(L""), Bytes("demoplay \"\""));
    EXPECT_EQ(DemoPlayScript(L"", false), Bytes("demoplay "));
    EXPECT_FALSE(DemoPlayScript(L"C:\\\u0100.dem"));
    EXPECT_FALSE(DemoPlayScript(L"C:\\\u009f.dem"));
}

}  // namespace
}  // namespace dravik
