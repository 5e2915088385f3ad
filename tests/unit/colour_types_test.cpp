#include "base/Rounding.h"
#include "colour/ColorTypes.h"

#include <gtest/gtest.h>

using namespace tp;

TEST(ColourTypes, PackingKeepsRedInTheLowestByte) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    const TColor c = RGB(246, 247, 251);
    EXPECT_EQ(c, 0xFBF7F6u);
    EXPECT_EQ(GetRValue(c), 246);
    EXPECT_EQ(GetGValue(c), 247);
    EXPECT_EQ(GetBValue(c), 251);
    // Only the low three bytes count when unpacking.
    EXPECT_EQ(ToRGB(0xFFFFFFFFu), (TRGB{255, 255, 255}));
}

TEST(ColourTypes, HexCodeIsSixUpperCaseDigitsWithoutHash) {
    EXPECT_EQ(HexCode({255, 255, 255}), "FFFFFF");
    EXPECT_EQ(HexCode({10, 11, 12}), "0A0B0C");
    EXPECT_EQ(HexCode({0, 0, 0}), "000000");
    EXPECT_EQ(HexCode({26, 43, 60}), "1A2B3C");
}

TEST(ColourTypes, InverseColour) {
    EXPECT_EQ(InverseColor({0, 0, 0}), (TRGB{255, 255, 255}));
    EXPECT_EQ(InverseColor({128, 128, 128}), (TRGB{127, 127, 127}));
    EXPECT_EQ(InverseColor({1, 100, 254}), (TRGB{254, 155, 1}));
}

TEST(ColourTypes, WebSafeSnapRanges) {
    // Each step of 51 takes the inputs nearest to it.
    const struct {
        int from, to, result;
    } ranges[] = {{0, 25, 0},      {26, 76, 51},    {77, 127, 102},
                  {128, 178, 153}, {179, 229, 204}, {230, 255, 255}};
    for (const auto& r : ranges)
        for (int c = r.from; c <= r.to; ++c)
            EXPECT_EQ(WebSafeChannel(static_cast<uint8_t>(c)), r.result) << c;
    EXPECT_EQ(WebSafe({25, 26, 230}), (TRGB{0, 51, 255}));
    // Snapping is idempotent.
    for (int c = 0; c < 256; ++c) {
        const uint8_t once = WebSafeChannel(static_cast<uint8_t>(c));
        EXPECT_EQ(WebSafeChannel(once), once);
    }
}

TEST(Rounding, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(2.5001), 3);
    EXPECT_EQ(Round(-2.6), -3);
    EXPECT_EQ(Round(127.5), 128);
}
