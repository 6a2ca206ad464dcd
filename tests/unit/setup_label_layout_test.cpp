#include "rules/setup_label_layout.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

// The setup window's labels at 96 dpi, as laid out in twips: the maker's
// line on the left, the contact address above the home page on the right.
// The frame ends at 537 pixels; 8 pixels are kept free after the maker's text.
const LabelLayout kLaidOut = {{8, 112, 409, 17}, {400, 104, 137, 25}, {400, 120, 145, 17}, 544, 138};
constexpr int kRightEdge = 537;
constexpr int kGap = 8;

bool Overlap(const Box& a, const Box& b)
{
    return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

TEST(FitLabels, ShowsEveryTextWholeInsideTheClientAreaWithoutOverlapsAndWidensOnlyWhenNeeded)
{
    struct Case {
        const char* name;
        TextSize maker, contact, homePage;
        int clientWidth;  // as it should come out
    };
    const Case cases[] = {
        {"short texts", {200, 14}, {120, 14}, {130, 14}, 544},
        {"a long address moves left", {200, 14}, {300, 14}, {130, 14}, 544},
        {"a long home page moves left", {200, 14}, {120, 14}, {320, 14}, 544},
        {"a long maker's line pushes both right", {380, 14}, {120, 14}, {130, 14}, 544 + (8 + 380 + 8) - 392},
        {"long texts everywhere", {380, 14}, {300, 14}, {400, 14}, 544 + (8 + 380 + 8) - (537 - 400)},
        {"a taller font", {200, 20}, {120, 20}, {130, 20}, 544},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LabelLayout fit = FitLabels(kLaidOut, c.maker, c.contact, c.homePage, kRightEdge, kGap);
        EXPECT_EQ(fit.clientWidth, c.clientWidth);
        const Box boxes[] = {fit.maker, fit.contact, fit.homePage};
        const TextSize texts[] = {c.maker, c.contact, c.homePage};
        Box shown[3];
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(boxes[i].width, texts[i].width) << i;
            EXPECT_GE(boxes[i].height, texts[i].height) << i;
            EXPECT_TRUE(boxes[i].left >= 0 && boxes[i].top >= 0 && boxes[i].Right() <= fit.clientWidth &&
                        boxes[i].Bottom() <= fit.clientHeight)
                << i << " lies outside the client area";
            shown[i] = {boxes[i].left, boxes[i].top, texts[i].width, texts[i].height};
        }
        // A box is painted whole: none may cover another's text.
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_TRUE(i == j || !Overlap(boxes[i], shown[j])) << i << " covers " << j;
            }
        }
        for (const Box& column : {fit.contact, fit.homePage}) {
            EXPECT_GE(column.left, fit.maker.left + c.maker.width + kGap) << "too close to the maker's line";
        }
        EXPECT_GE(fit.clientHeight, kLaidOut.clientHeight);
    }
}

TEST(FitLabels, KeepsTheLaidOutPlacesOfTextsThatFit)
{
    const LabelLayout fit = FitLabels(kLaidOut, {200, 14}, {120, 14}, {130, 14}, kRightEdge, kGap);
    EXPECT_EQ(fit.maker.left, 8);
    EXPECT_EQ(fit.maker.top, 112);
    EXPECT_EQ(fit.contact.left, 400);
    EXPECT_EQ(fit.contact.top, 104);
    // The home page's laid-out box ends a pixel past the client area: it
    // ends at the frame's edge instead.
    EXPECT_EQ(fit.homePage.Right(), kRightEdge);
    EXPECT_EQ(fit.homePage.top, 120);
    EXPECT_EQ(fit.clientHeight, 138);
}

}  // namespace
}  // namespace dravik
