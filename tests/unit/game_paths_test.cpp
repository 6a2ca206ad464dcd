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

TEST(CleanTypedPath, DropsSurroundingBlanksAndQuotesPairedOrNot)
{
    struct Case {
        const wchar_t* typed;
        const wchar_t* clean;
    };
    const Case cases[] = {
        {L"C:\\UT2003\\System\\UT2003.exe", L"C:\\UT2003\\System\\UT2003.exe"},
        {L"  \"C:\\Program Files\\UT2003\\System\\UT2003.exe\"\t", L"C:\\Program Files\\UT2003\\System\\UT2003.exe"},
        {L"\" C:\\UT2003\\System\\UT2003.exe \"", L"C:\\UT2003\\System\\UT2003.exe"},
        {L"\"\"x\"\"", L"\"x\""},
        // As a shell may hand them to the loader.
        {L"\"C:\\x.dem\" ", L"C:\\x.dem"},
        {L"\"C:\\x.dem", L"C:\\x.dem"},
        {L"C:\\x.dem\"", L"C:\\x.dem"},
        {L"\"", L""},
        {L"   ", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CleanTypedPath(c.typed), c.clean);
    }
}

}  // namespace
}  // namespace dravik
