// The WCAG contrast ratio against the published examples, and its marks.
#include "colour/Contrast.h"

#include <gtest/gtest.h>

using namespace tp;

namespace {
const TRGB White{255, 255, 255}, Black{0, 0, 0};
TRGB Grey(uint8_t v) {
    return {v, v, v};
}
} // namespace

TEST(Contrast, PublishedExamples) {
    EXPECT_EQ(RatioText(ContrastRatio(Black, White)), "21.00:1");
    EXPECT_EQ(RatioText(ContrastRatio(White, Black)), "21.00:1");
    EXPECT_EQ(RatioText(ContrastRatio(Grey(0x77), White)), "4.48:1");
    // The lightest grey that passes AA for normal text on white.
    EXPECT_EQ(RatioText(ContrastRatio(Grey(0x76), White)), "4.54:1");
    EXPECT_EQ(RatioText(ContrastRatio(Grey(0x59), White)), "7.00:1");
    EXPECT_EQ(RatioText(ContrastRatio(White, White)), "1.00:1");
    EXPECT_DOUBLE_EQ(RelativeLuminance(Black), 0.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(White), 1.0);
}

TEST(Contrast, MarksFollowTheFourCriteria) {
    const ContrastMarks grey77 = MarksFor(ContrastRatio(Grey(0x77), White));
    EXPECT_FALSE(grey77.aaNormal);
    EXPECT_TRUE(grey77.aaLarge);
    EXPECT_FALSE(grey77.aaaNormal);
    EXPECT_FALSE(grey77.aaaLarge);
    const ContrastMarks grey76 = MarksFor(ContrastRatio(Grey(0x76), White));
    EXPECT_TRUE(grey76.aaNormal && grey76.aaaLarge);
    EXPECT_FALSE(grey76.aaaNormal);
    const ContrastMarks grey59 = MarksFor(ContrastRatio(Grey(0x59), White));
    EXPECT_TRUE(grey59.aaNormal && grey59.aaLarge && grey59.aaaNormal && grey59.aaaLarge);
    const ContrastMarks same = MarksFor(1.0);
    EXPECT_FALSE(same.aaNormal || same.aaLarge || same.aaaNormal || same.aaaLarge);
}

TEST(Contrast, FigureNeverRoundsUpToAThresholdItMisses) {
    // 4.4994:1 fails AA; it must not read 4.50.
    const double r = ContrastRatio({21, 138, 0}, White);
    ASSERT_LT(r, 4.5);
    EXPECT_FALSE(MarksFor(r).aaNormal);
    EXPECT_EQ(RatioText(r), "4.49:1");
    EXPECT_EQ(RatioText(2.996), "2.99:1");
    EXPECT_EQ(RatioText(4.556), "4.56:1"); // elsewhere it rounds
}

TEST(Contrast, TextOnAColourKeepsItsInverseUnlessItFallsBelowThreeToOne) {
    EXPECT_EQ(LegibleOn(Grey(0x80), Grey(0x7F)), Black);
    EXPECT_EQ(LegibleOn({0x00, 0xA6, 0x93}, {0xFF, 0x59, 0x6C}), Black);
    EXPECT_EQ(LegibleOn(Grey(0x40), Grey(0xBF)), Grey(0xBF));
    EXPECT_EQ(LegibleOn({255, 0, 0}, {0, 255, 255}), (TRGB{0, 255, 255})); // 3.19:1
    EXPECT_EQ(LegibleOn({0x30, 0x30, 0x80}, {0x38, 0x38, 0x78}), White);
}

TEST(Contrast, LevelsAndTheReportLine) {
    EXPECT_EQ(ContrastReport(Grey(0x77), White), "#777777 on #FFFFFF: 4.48:1 (AA large)");
    EXPECT_EQ(ContrastReport(Grey(0x76), White), "#767676 on #FFFFFF: 4.54:1 (AA)");
    EXPECT_EQ(ContrastReport(Black, White), "#000000 on #FFFFFF: 21.00:1 (AAA)");
    EXPECT_EQ(ContrastReport(Grey(0xAA), White), "#AAAAAA on #FFFFFF: 2.32:1 (fails AA)");
    // The name follows the figure's own cut: 4.4994 is "4.49" and AA large.
    EXPECT_EQ(LevelName(ContrastRatio({21, 138, 0}, White)), "AA large");
    // A preview falls below only the level the pair itself passes.
    EXPECT_TRUE(FallsBelowLevel(4.6, 4.4));
    EXPECT_FALSE(FallsBelowLevel(4.6, 4.5));
    EXPECT_FALSE(FallsBelowLevel(4.4, 3.1)); // AA large either way
    EXPECT_TRUE(FallsBelowLevel(7.2, 6.9));
    EXPECT_FALSE(FallsBelowLevel(2.5, 1.2)); // nothing to fall from
}
