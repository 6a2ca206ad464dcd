#include "rules/text_join.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(Join, PutsThePiecesTogetherWholeAndInOrder)
{
    const std::wstring folder = L"C:\\Games\\UT2003";
    const std::wstring withNul(L"a\0b", 3);  // a piece is taken by its length, not up to a NUL
    EXPECT_EQ(Join({}), L"");
    EXPECT_EQ(Join({L"", folder, L""}), folder);
    EXPECT_EQ(Join({L"\"", folder, L"\\System\\UT2003.exe", L"\""}), L"\"C:\\Games\\UT2003\\System\\UT2003.exe\"");
    EXPECT_EQ(Join({withNul, L"c"}), std::wstring(L"a\0bc", 4));

    std::wstring text = L"Still there:";
    Append(text, {L"\n- ", folder, L""});
    Append(text, {});
    EXPECT_EQ(text, L"Still there:\n- C:\\Games\\UT2003");
}

}  // namespace
}  // namespace dravik
