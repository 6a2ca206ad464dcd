#include "rules/twips.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(TwipsToPixels, ScalesWithDpiAndRoundsToNearest)
{
    struct Case {
        int twips;
        int dpi;
        int pixels;
    };
    const Case cases[] = {
        {8160, 96, 544}, {2070, 96, 138}, {8160, 144, 816}, {2070, 144, 207},
        {6585, 96, 439}, {11835, 96, 789}, {6585, 144, 659}, {11835, 144, 1184},
        {7, 96, 0},      {8, 96, 1},       {120, 120, 10},   {0, 192, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
}

}  // namespace
}  // namespace dravik
