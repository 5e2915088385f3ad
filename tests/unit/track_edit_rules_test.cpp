#include "colour/TrackEditRules.h"

#include <gtest/gtest.h>

using namespace tp::trackedit;

TEST(TrackEditRules, ClampHonoursEqualBounds) {
    EXPECT_EQ(Clamp(300, 0, 255), 255);
    EXPECT_EQ(Clamp(-5, 0, 255), 0);
    EXPECT_EQ(Clamp(17, 0, 255), 17);
    EXPECT_EQ(Clamp(300, 5, 5), 300); // equal bounds limit nothing
}

TEST(TrackEditRules, ValidText) {
    for (const char* ok : {"0", "255", "-5", "007", "99999999999"})
        EXPECT_TRUE(IsValidText(ok)) << ok;
    for (const char* bad : {"", "-", "5-", "--5", "1-2", " 5", "a", "+5", "1.5"})
        EXPECT_FALSE(IsValidText(bad)) << bad;
}

TEST(TrackEditRules, CorrectionOnlyAboveTheRangeForZeroBasedEdits) {
    EXPECT_TRUE(NeedsCorrection(300, 255, 0));
    EXPECT_FALSE(NeedsCorrection(-5, 0, 0)); // the text "-5" stays until focus leaves
    EXPECT_FALSE(NeedsCorrection(30, 30, 0));
    // With a positive lower bound a negative number is corrected at once.
    EXPECT_TRUE(NeedsCorrection(-5, 1, 1));
    // With a negative lower bound, a positive number is always rewritten.
    EXPECT_TRUE(NeedsCorrection(5, 5, -10));
    // Both negative and clamped upwards.
    EXPECT_TRUE(NeedsCorrection(-50, -10, -10));
}

TEST(TrackEditRules, TypedCharacters) {
    EXPECT_EQ(CheckTypedChar(U'7', "12"), CharVerdict::Pass);
    EXPECT_EQ(CheckTypedChar(U'-', ""), CharVerdict::Pass);
    EXPECT_EQ(CheckTypedChar(U'-', "-5"), CharVerdict::Refuse); // a second minus
    EXPECT_EQ(CheckTypedChar(U'\b', "12"), CharVerdict::Pass);
    EXPECT_EQ(CheckTypedChar(U'\x16', "12"), CharVerdict::Pass); // Ctrl+V
    EXPECT_EQ(CheckTypedChar(U'\r', "12"), CharVerdict::Refuse); // Enter beeps
    for (char32_t c : {U'a', U'#', U' ', U'+', U'.', U'\u7ea2'})
        EXPECT_EQ(CheckTypedChar(c, ""), CharVerdict::Refuse);
}

TEST(TrackEditRules, PopupStaysInsideTheWorkArea) {
    const Rect work{0, 0, 1024, 738};
    // Plenty of room: directly below the edit, left edges aligned.
    EXPECT_EQ(PopupPosition({16, 100}, 20, 128, 20, work), (Point{16, 120}));
    // Near the bottom: above the edit.
    EXPECT_EQ(PopupPosition({16, 720}, 20, 128, 20, work), (Point{16, 700}));
    // Near the right edge: shifted left to end at the edge.
    EXPECT_EQ(PopupPosition({950, 100}, 20, 128, 20, work), (Point{896, 120}));
    // Left of the work area (a second monitor's area starting at 1024).
    const Rect right{1024, 0, 800, 600};
    EXPECT_EQ(PopupPosition({1000, 10}, 20, 128, 20, right), (Point{1024, 30}));
}

TEST(TrackEditRules, LeftAlignedPopupLinesUpRightEdges) {
    EXPECT_EQ(PopupAnchorX(true, 0, 50, 128), -78);
    EXPECT_EQ(PopupAnchorX(true, 0, 50, 50), 0);
    EXPECT_EQ(PopupAnchorX(false, 0, 50, 128), 0);
}

TEST(TrackEditRules, ThumbGeometryAndValues) {
    const TrackGeometry g = Geometry(128, 20);
    EXPECT_EQ(g.track.left, 2);
    EXPECT_EQ(g.track.width, 124);
    EXPECT_EQ(g.thumbHeight, 16);
    EXPECT_EQ(g.thumbWidth, 8);
    EXPECT_EQ(g.travel, 124 - 8);
    EXPECT_EQ(ThumbLeft(g, 0, 0, 255), 2);
    EXPECT_EQ(ThumbLeft(g, 255, 0, 255), 2 + 116);
    EXPECT_EQ(ThumbLeft(g, 5, 5, 5), 2); // equal bounds: left end
    EXPECT_EQ(ValueAt(0, 116, 0, 255), 0);
    EXPECT_EQ(ValueAt(116, 116, 0, 255), 255);
    EXPECT_EQ(ValueAt(-40, 116, 0, 255), 0); // held to the track
    EXPECT_EQ(ValueAt(500, 116, 0, 255), 255);
    EXPECT_EQ(ValueAt(58, 116, 0, 255), 128); // 127.5 rounds to even
    EXPECT_EQ(ValueAt(10, 0, 0, 255), 0);     // no travel
    // A round trip through the thumb's position lands on the same value.
    for (int v = 0; v <= 255; ++v)
        EXPECT_NEAR(ValueAt(ThumbLeft(g, v, 0, 255) - g.track.left, g.travel, 0, 255), v, 1);
}
