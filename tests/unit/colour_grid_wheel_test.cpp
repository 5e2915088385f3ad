#include "colour/ColorGridLayout.h"
#include "colour/WheelGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

using namespace tp;
using namespace tp::grid;
using namespace tp::wheel;

TEST(BasicColors, RowByRowWithTheOddEntry37) {
    EXPECT_EQ(BasicColors[0], (TRGB{0, 0, 0}));
    EXPECT_EQ(BasicColors[4], (TRGB{0xFF, 0, 0}));
    EXPECT_EQ(BasicColors[37], (TRGB{0x80, 0x42, 0x4F}));
    EXPECT_EQ(BasicColors[42], (TRGB{255, 255, 255}));
    EXPECT_EQ(BasicColors[47], (TRGB{0xFF, 0x80, 0xFF}));
    std::set<std::string> distinct;
    for (const TRGB c : BasicColors)
        distinct.insert(HexCode(c));
    EXPECT_EQ(distinct.size(), 48u);
    EXPECT_TRUE(IsBasicColor(TRGB{0x80, 0x80, 0xC0}));
    EXPECT_FALSE(IsBasicColor(TRGB{18, 52, 86}));
}

TEST(CellLayout, CentredBlockOfCellsTwoPixelsApart) {
    // A 6 x 8 grid in an area 155 x 170 wide at (6, 20).
    const CellLayout g = LayoutCells({6, 20, 161, 190}, 6, 8);
    EXPECT_EQ(g.cellWidth, (155 - 12) / 6);  // 23
    EXPECT_EQ(g.cellHeight, (170 - 16) / 8); // 19
    const int W = (23 + 2) * 6, H = (19 + 2) * 8;
    EXPECT_EQ(g.left, 6 + 155 / 2 - W / 2);
    EXPECT_EQ(g.top, 20 + 170 / 2 - H / 2);
    const Box c00 = CellBox(g, 0, 0), c01 = CellBox(g, 0, 1), c10 = CellBox(g, 1, 0);
    EXPECT_EQ(c00.left, g.left + 1);
    EXPECT_EQ(c01.left - c00.right, 2);
    EXPECT_EQ(c10.top - c00.bottom, 2);
    EXPECT_EQ(PlateBox(g, 0, 0), (Box{c00.left - 1, c00.top - 1, c00.right + 1, c00.bottom + 1}));
    EXPECT_EQ(SwatchBox(g, 0, 0, false),
              (Box{c00.left + 3, c00.top + 3, c00.right - 3, c00.bottom - 3}));
    EXPECT_EQ(SwatchBox(g, 0, 0, true),
              (Box{c00.left + 4, c00.top + 4, c00.right - 4, c00.bottom - 4}));
}

TEST(CellLayout, NegativeSlackTruncatesTowardZero) {
    // Rw - 2 * cols = -1: the cell width is 0, not -1.
    const CellLayout g = LayoutCells({0, 0, 11, 40}, 6, 1);
    EXPECT_EQ(g.cellWidth, 0);
    EXPECT_EQ(CellAt(g, 1, 10, 6), -1); // empty cells choose nothing
}

TEST(CellLayout, HitTestsChooseCellsButNeverTheGapsOrFrame) {
    const CellLayout g = LayoutCells({0, 0, 150, 50}, 6, 2);
    const Box c = CellBox(g, 1, 2);
    EXPECT_EQ(CellAt(g, c.left, c.top, 12), 8);
    EXPECT_EQ(CellAt(g, c.right - 1, c.bottom - 1, 12), 8);
    EXPECT_EQ(CellAt(g, c.right, c.top, 12), -1);     // first gap pixel
    EXPECT_EQ(CellAt(g, c.right + 1, c.top, 12), -1); // second gap pixel
    EXPECT_EQ(CellAt(g, c.right + 2, c.top, 12), 9);
    EXPECT_EQ(CellAt(g, c.left, c.top - 1, 12), -1);
    EXPECT_EQ(CellAt(g, g.left, g.top, 12), -1); // the block's own border
    EXPECT_EQ(CellAt(g, -5, -5, 12), -1);
    // A grid with more cells than colours: the extra cells do not exist.
    const CellLayout big = LayoutCells({0, 0, 150, 50}, 6, 3);
    const Box extra = CellBox(big, 2, 0);
    EXPECT_EQ(CellAt(big, extra.left, extra.top, 12), -1);
}

TEST(CustomColorSlots, ThirteenAddsWrapToSlotOne) {
    CustomColorSlots s;
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(s.slot(n), (TRGB{255, 255, 255}));
    for (uint8_t c = 1; c <= 13; ++c)
        s.AddColor({c, 0, 0});
    EXPECT_EQ(s.NextSlot(), 1);
    EXPECT_EQ(s.slot(1), (TRGB{13, 0, 0}));
    EXPECT_EQ(s.slot(2), (TRGB{2, 0, 0}));
    EXPECT_EQ(s.slot(12), (TRGB{12, 0, 0}));
}

TEST(WheelAngles, NormalizeRotateAndDirection) {
    EXPECT_DOUBLE_EQ(NormalizeAngle(-90), 270);
    EXPECT_DOUBLE_EQ(NormalizeAngle(720), 0);
    EXPECT_DOUBLE_EQ(NormalizeAngle(1e12), std::fmod(1e12, 360.0));
    EXPECT_EQ(PointAngle({5, 5}, {5, 5}), 0);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, 10}), 90); // y downward: clockwise
    const PointF p = RotatePoint({97, 97}, {97, 10}, -90);
    EXPECT_NEAR(p.x, 10, 1e-9);
    EXPECT_NEAR(p.y, 97, 1e-9);
    // Measured clockwise from 12 o'clock.
    EXPECT_DOUBLE_EQ(RingAngle({97, 97}, 97, 15), 0);
    EXPECT_DOUBLE_EQ(RingAngle({97, 97}, 184, 97), 90);
    EXPECT_DOUBLE_EQ(RingAngle({97, 97}, 97, 184), 180);
    EXPECT_DOUBLE_EQ(RingAngle({97, 97}, 10, 97), 270);
}

TEST(WheelRing, HuesAndTheirPlaceOnTheRing) {
    const auto hues = BuildRingHues();
    EXPECT_EQ(hues[0], (TRGB{240, 0, 0}));
    EXPECT_EQ(hues[359], (TRGB{240, 0, 0}));
    EXPECT_EQ(RingHueIndex(98, 0), 359); // red at the top, about the drawing centre (98, 98)
    EXPECT_EQ(RingHueIndex(97, 0), 0);   // just left of it: the other red entry
    EXPECT_EQ(RingHueIndex(194, 98), 359 - 90);
    EXPECT_EQ(RingHueIndex(97, 97), -1);  // centre
    EXPECT_EQ(RingHueIndex(0, 0), -1);    // corner, outside the circle
    EXPECT_EQ(RingHueIndex(98, 19), 359); // last ring row above the inner circle
    EXPECT_EQ(RingHueIndex(98, 21), -1);
    // Going clockwise from the top the ring runs through magenta to blue.
    const TRGB twoOClock = hues[static_cast<size_t>(RingHueIndex(160, 30))];
    EXPECT_GT(twoOClock.r, 100);
    EXPECT_GT(twoOClock.b, 100);
    EXPECT_LT(twoOClock.g, 20);
}

TEST(WheelPresses, PartsAndBytes) {
    EXPECT_EQ(PartAt(44, 44), wpSquare);
    EXPECT_EQ(PartAt(149, 149), wpSquare);
    EXPECT_EQ(PartAt(150, 150), wpNone); // outside the square, inside the inner circle
    EXPECT_EQ(PartAt(97, 15), wpRing);
    EXPECT_EQ(PartAt(184, 97), wpRing);
    EXPECT_EQ(PartAt(0, 0), wpNone);
    EXPECT_EQ(PartAt(-3, 97), wpNone);

    EXPECT_EQ(RingHueByte(97, 15), 255);
    EXPECT_EQ(RingHueByte(184, 97), 191); // Round(191.07)
    EXPECT_EQ(RingHueByte(97, 184), 127);
    EXPECT_EQ(RingHueByte(10, 97), 63);
    // The centre has no direction: its angle counts as 0, i.e. 90 from 12 o'clock.
    EXPECT_EQ(RingHueByte(97, 97), 191);

    SquareBytes b = SquareBytesAt(300, -20); // held to (150, 44)
    EXPECT_EQ(b.saturation, 255);
    EXPECT_EQ(b.lightness, 0);
    b = SquareBytesAt(150, 97);
    EXPECT_EQ(b.lightness, 128); // Round(127.5) to even
    b = SquareBytesAt(44, 150);
    EXPECT_EQ(b.saturation, 0);
    EXPECT_EQ(b.lightness, 255);
}

TEST(WheelMarkers, CentresForHueAndSquare) {
    EXPECT_EQ(HueMarker(0), (Point{97, 10}));
    EXPECT_EQ(HueMarker(0.25), (Point{10, 97}));
    EXPECT_EQ(HueMarker(0.5), (Point{97, 184}));
    EXPECT_EQ(HueMarker(0.75), (Point{184, 97}));
    EXPECT_EQ(HueMarker(1.0), (Point{97, 10}));
    EXPECT_EQ(SquareMarker(0, 0), (Point{44, 44}));
    EXPECT_EQ(SquareMarker(1, 0.5), (Point{150, 97}));
}

TEST(WheelMarkers, OutlineIsAClosedRingOfDistinctPixelsInItsBox) {
    const auto& pts = MarkerOutline();
    std::set<std::pair<int, int>> seen;
    for (const Point& p : pts) {
        EXPECT_TRUE(p.x >= -5 && p.x <= 4 && p.y >= -5 && p.y <= 4);
        EXPECT_TRUE(seen.insert({p.x, p.y}).second) << "listed twice";
    }
    EXPECT_TRUE(seen.count({-5, 0}) && seen.count({4, 0}) && seen.count({0, -5}) &&
                seen.count({0, 4}));
    EXPECT_FALSE(seen.count({0, 0})); // an outline, not a disc
}
