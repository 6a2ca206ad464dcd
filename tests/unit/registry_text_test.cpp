#include "registry_text.h"

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

}  // namespace
}  // namespace dravik
