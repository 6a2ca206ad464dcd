#include "rules/loader_path_forms.h"

#include <gtest/gtest.h>

#include <string>

namespace dravik {
namespace {

TEST(LongPathForm, PrefixesOnlyPathsOfMaxPathOrMoreAndGivesThemBackPlain)
{
    const std::wstring deep = L"\\folder" + std::wstring(250, L'x') + L"\\duel.dem";
    struct Case {
        std::wstring path;
        std::wstring longForm;
    };
    const Case cases[] = {
        {L"C:\\Demos\\duel.dem", L"C:\\Demos\\duel.dem"},
        {L"C:" + deep, L"\\\\?\\C:" + deep},
        {L"\\\\server\\share" + deep, L"\\\\?\\UNC\\server\\share" + deep},
        {L"\\\\?\\C:" + deep, L"\\\\?\\C:" + deep},
        {L"\\\\?\\UNC\\server\\share" + deep, L"\\\\?\\UNC\\server\\share" + deep},
        {L"\\\\.\\pipe" + deep, L"\\\\.\\pipe" + deep},
        {L"relative" + deep, L"relative" + deep},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongPathForm(c.path), c.longForm);
        if (c.path.compare(0, 4, L"\\\\?\\") != 0 && c.path.compare(0, 4, L"\\\\.\\") != 0) {
            EXPECT_EQ(PlainPathForm(LongPathForm(c.path)), c.path);
        }
    }
    EXPECT_EQ(PlainPathForm(L"\\\\?\\C:\\DEMOS~1\\duel.dem"), L"C:\\DEMOS~1\\duel.dem");
    EXPECT_EQ(PlainPathForm(L"\\\\?\\UNC\\srv\\share\\x.dem"), L"\\\\srv\\share\\x.dem");
    EXPECT_EQ(PlainPathForm(L"\\\\?\\Volume{1234}\\x.dem"), L"\\\\?\\Volume{1234}\\x.dem");
}

TEST(IsDevicePath, OnlyTheDeviceNamespace)
{
    EXPECT_TRUE(IsDevicePath(L"\\\\.\\CON"));
    EXPECT_TRUE(IsDevicePath(L"\\\\.\\COM1"));
    EXPECT_FALSE(IsDevicePath(L"C:\\CON.dem.txt"));
    EXPECT_FALSE(IsDevicePath(L"\\\\server\\share\\x.dem"));
    EXPECT_FALSE(IsDevicePath(L"\\\\?\\C:\\x.dem"));
}

}  // namespace
}  // namespace dravik
