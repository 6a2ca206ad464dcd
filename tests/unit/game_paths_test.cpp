#include "rules/game_paths.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(ExecScript, PathIsTheGameFolderWithTheSuffixAppended)
{
    EXPECT_EQ(ExecScriptPath(L"C:\\UT2003"), L"C:\\UT2003\\System\\udemo.ini");
    // Nothing normalises a folder that already ends in a separator.
    EXPECT_EQ(ExecScriptPath(L"D:\\"), L"D:\\\\System\\udemo.ini");
}

TEST(GameCommandLine, QuotesThePathSoBlanksCannotSplitIt)
{
    EXPECT_EQ(GameCommandLine(L"C:\\Program Files\\UT2003\\System\\UT2003.exe"),
              L"\"C:\\Program Files\\UT2003\\System\\UT2003.exe\" -exec=udemo.ini");
}

TEST(Unquote, RemovesOnlyOneEnclosingPair)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* unquoted;
        bool quoted;
    };
    const Case cases[] = {
        {L"\"C:\\a b\\x.dem\"", L"C:\\a b\\x.dem", true},
        {L"C:\\x.dem", L"C:\\x.dem", false},
        {L"\"\"", L"", true},
        {L"\"", L"\"", false},
        {L"\"C:\\x.dem", L"\"C:\\x.dem", false},
        {L"\"\"x\"\"", L"\"x\"", true},
        {L"", L"", false},
    };
    for (const Case& c : cases) {
        const QuotedText result = Unquote(c.text);
        EXPECT_EQ(result.text, c.unquoted) << c.text;
        EXPECT_EQ(result.quoted, c.quoted) << c.text;
    }
}

}  // namespace
}  // namespace dravik
