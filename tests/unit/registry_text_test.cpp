#include "rules/registry_text.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(TextFromRegistryUnits, EndsAtTheFirstNulOrTakesTheValueWhole)
{
    struct Case {
        const wchar_t* units;
        std::size_t count;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"C:\\UT2003", 10, L"C:\\UT2003"},     // stored with its NUL
        {L"C:\\UT2003", 9, L"C:\\UT2003"},      // stored without: the last letter stays
        {L"C:\\UT2003\0\0", 12, L"C:\\UT2003"}, // padded with several NULs
        {L"C:\\A\0junk", 9, L"C:\\A"},          // what follows a NUL is not text
        {L"", 1, L""},                          // the NUL alone
        {L"", 0, L""},                          // no data at all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextFromRegistryUnits(c.units, c.count), c.text) << c.count;
    }
}

// The types READY added to "Open with", as it records them in dravikfile.
TEST(TextsFromRegistryUnits, ReadsTheListAsWrittenAndAsOthersMayHaveStoredIt)
{
    using Texts = std::vector<std::wstring>;
    struct Case {
        const wchar_t* units;
        std::size_t count;
        Texts texts;
    };
    const Case cases[] = {
        {L"A.Demo\0B.Demo\0\0", 15, {L"A.Demo", L"B.Demo"}},  // as written
        {L"A.Demo\0B.Demo\0", 14, {L"A.Demo", L"B.Demo"}},     // without the list's end
        {L"A.Demo\0B.Demo", 13, {L"A.Demo", L"B.Demo"}},        // nor the last text's
        {L"A.Demo\0\0B.Demo\0\0", 16, {L"A.Demo"}},          // an empty text ends the list
        {L"\0", 1, {}},
        {L"", 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextsFromRegistryUnits(c.units, c.count), c.texts) << c.count;
    }
    const Texts written = {L"A.Demo", L"", L"B.Demo"};
    const std::wstring units = RegistryUnitsOfTexts(written);
    EXPECT_EQ(units, std::wstring(L"A.Demo\0B.Demo\0\0", 15));
    EXPECT_EQ(TextsFromRegistryUnits(units.data(), units.size()), (Texts{L"A.Demo", L"B.Demo"}));
    EXPECT_EQ(RegistryUnitsOfTexts({}), std::wstring(1, L'\0'));
}

}  // namespace
}  // namespace dravik
