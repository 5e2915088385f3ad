#include "base/ScreenGeometry.h"
#include "sampling/MagnifierGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tp;

namespace {
// A 1280 x 800 logical monitor at the origin at the given scale.
std::vector<Monitor> single(double scale) {
    return {MonitorFromLogical({0, 0, 1280, 800}, scale)};
}
} // namespace

TEST(ScreenGeometry, DeviceSizeAndCursorMappingAtCommonScales) {
    struct Case {
        double scale;
        PixRect device;
        PixPoint logical, expected;
    } cases[] = {
        {1.0, {0, 0, 1280, 800}, {100, 37}, {100, 37}},
        {1.25, {0, 0, 1600, 1000}, {100, 37}, {125, 46}}, // 46.25 rounds down
        {1.5, {0, 0, 1920, 1200}, {101, 37}, {151, 55}},  // 151.5, 55.5
        {2.0, {0, 0, 2560, 1600}, {100, 37}, {200, 74}},
    };
    for (const Case& c : cases) {
        const auto mons = single(c.scale);
        EXPECT_EQ(mons[0].device, c.device) << c.scale;
        EXPECT_EQ(CursorToDevice(mons, c.logical), c.expected) << c.scale;
        // The bottom-right logical pixel lands inside the device area, never past it.
        const auto last = CursorToDevice(mons, {1279, 799});
        ASSERT_TRUE(last);
        EXPECT_TRUE(mons[0].device.contains(*last)) << c.scale;
        EXPECT_EQ(CursorToDevice(mons, {0, 0}), (PixPoint{0, 0})) << c.scale;
    }
}

TEST(ScreenGeometry, DeviceSizeRecoveredFromRoundedLogicalSize) {
    // 640 / 1.5 = 426.67 is reported as 427, and 427 x 1.5 = 640.5 must not
    // grow a 641st column; 768 / 1.25 = 614.4 is 614, and 614 x 1.25 = 767.5
    // must not lose the 768th row.
    EXPECT_EQ(MonitorFromLogical({0, 0, 427, 320}, 1.5).device, (PixRect{0, 0, 640, 480}));
    EXPECT_EQ(MonitorFromLogical({0, 0, 1093, 614}, 1.25).device, (PixRect{0, 0, 1366, 768}));
    EXPECT_EQ(MonitorFromLogical({0, 0, 1280, 720}, 2.0).device, (PixRect{0, 0, 2560, 1440}));
    EXPECT_EQ(MonitorFromLogical({0, 0, 800, 600}, 0).device, (PixRect{0, 0, 800, 600}));
    // Every common size survives the trip through logical pixels.
    for (double s : {1.0, 1.25, 1.5, 1.75, 2.0})
        for (int n : {640, 768, 800, 1024, 1080, 1200, 1366, 1440, 1920, 2160, 2560, 3840}) {
            const int logical = static_cast<int>(std::lround(n / s));
            EXPECT_EQ(DeviceLength(logical, s), n) << n << " at " << s;
        }
}

TEST(ScreenGeometry, DeviceToCursorRoundTripsEveryReachablePixel) {
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        const auto mons = single(scale);
        for (int x = 0; x < 200; ++x) {
            const PixPoint l{x, x / 2};
            const auto d = CursorToDevice(mons, l);
            ASSERT_TRUE(d);
            EXPECT_EQ(DeviceToCursor(mons, *d), l) << scale << " x=" << x;
        }
        // Neighbouring logical points keep their order in device pixels.
        int prev = -1;
        for (int x = 0; x < 50; ++x) {
            const int dx = CursorToDevice(mons, {x, 0})->x;
            EXPECT_GT(dx, prev) << scale;
            prev = dx;
        }
    }
}

TEST(ScreenGeometry, MonitorLeftOfAndAbovePrimary) {
    // Primary at the origin at scale 1.5; a second monitor at scale 1 to its
    // left, a third at scale 2 above it.
    const std::vector<Monitor> mons = {
        MonitorFromLogical({0, 0, 1280, 720}, 1.5),
        MonitorFromLogical({-1920, 0, 1920, 1080}, 1.0),
        MonitorFromLogical({0, -540, 960, 540}, 2.0),
    };
    EXPECT_EQ(mons[2].device, (PixRect{0, -540, 1920, 1080}));
    EXPECT_EQ(CursorToDevice(mons, {-1920, 0}), (PixPoint{-1920, 0}));
    EXPECT_EQ(CursorToDevice(mons, {-1, 500}), (PixPoint{-1, 500}));
    EXPECT_EQ(CursorToDevice(mons, {10, -540}), (PixPoint{20, -540}));
    EXPECT_EQ(CursorToDevice(mons, {10, -1}), (PixPoint{20, -540 + 1078}));
    EXPECT_EQ(CursorToDevice(mons, {10, 10}), (PixPoint{15, 15}));
    EXPECT_EQ(DeviceToCursor(mons, {-5, 7}), (PixPoint{-5, 7}));
    EXPECT_EQ(DeviceToCursor(mons, {30, -500}), (PixPoint{15, -520}));

    EXPECT_EQ(VirtualDesktop(mons), (PixRect{-1920, -540, 1920 + 1920, 540 + 1080}));
    // The corner left of the upper monitor and above the left one is a hole.
    EXPECT_FALSE(OnSomeMonitor(mons, {-10, -10}));
    EXPECT_TRUE(OnSomeMonitor(mons, {-10, 10}));
    // A cursor reported in the hole is pulled onto the nearest monitor.
    const auto pulled = CursorToDevice(mons, {-3, -200});
    ASSERT_TRUE(pulled);
    EXPECT_TRUE(OnSomeMonitor(mons, *pulled));
    EXPECT_FALSE(CursorToDevice({}, {0, 0}));
}

TEST(ScreenGeometry, SplitGrabAcrossMonitorsAsksEachForItsOwnLogicalArea) {
    const std::vector<Monitor> mons = {
        MonitorFromLogical({0, 0, 1280, 720}, 1.5),
        MonitorFromLogical({-1920, 0, 1920, 1080}, 1.0),
    };
    // A magnifier source straddling the seam between the two monitors.
    const auto pieces = SplitGrab(mons, ZoomSource({3, 100}));
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].monitor, 0u);
    EXPECT_EQ(pieces[0].device, (PixRect{0, 88, 19, 24}));
    // 0..19 device = 0..12.67 logical, rounded outward; rows 88..112 = 58.67..74.67.
    EXPECT_EQ(pieces[0].logicalInMonitor, (PixRect{0, 58, 13, 17}));
    EXPECT_EQ(pieces[1].monitor, 1u);
    EXPECT_EQ(pieces[1].device, (PixRect{-13, 88, 13, 24}));
    EXPECT_EQ(pieces[1].logicalInMonitor, (PixRect{1907, 88, 13, 24}));
    // Off every monitor nothing is grabbed.
    EXPECT_TRUE(SplitGrab(mons, {-100, -100, 32, 24}).empty());
}

TEST(MagnifierGeometry, SourceAndCrosshairRectangles) {
    EXPECT_EQ(ZoomSource({0, 0}), (PixRect{-16, -12, 32, 24}));
    EXPECT_EQ(ZoomSource({500, 300}), (PixRect{484, 288, 32, 24}));
    const PixRect v = CrosshairVertical(), h = CrosshairHorizontal();
    EXPECT_EQ(v, (PixRect{64, 40, 3, 19}));
    EXPECT_EQ(h, (PixRect{56, 48, 19, 3}));
    // Of the cursor's 4 x 4 block only the bottom-right pixel stays uncovered.
    int uncovered = 0;
    for (int y = 48; y < 52; ++y)
        for (int x = 64; x < 68; ++x)
            if (!v.contains({x, y}) && !h.contains({x, y})) {
                ++uncovered;
                EXPECT_EQ((PixPoint{x, y}), (PixPoint{67, 51}));
            }
    EXPECT_EQ(uncovered, 1);
}

TEST(ScreenGeometry, FractionalEventPositionsPickTheDevicePixelUnderThePointer) {
    // At 1.5 a logical pixel spans 1.5 device pixels; mouse events carry the
    // fraction and so reach device pixels a whole-number cursor cannot.
    const auto mons = single(1.5);
    EXPECT_EQ(GlobalToDevice(mons, 3.0, 0.0), (PixPoint{4, 0}));
    EXPECT_EQ(GlobalToDevice(mons, 3.34, 0.67), (PixPoint{5, 1}));
    EXPECT_EQ(GlobalToDevice(mons, 1279.99, 799.99), (PixPoint{1919, 1199}));
    const auto two = single(2.0);
    EXPECT_EQ(GlobalToDevice(two, 100.5, 10.0), (PixPoint{201, 20}));
    EXPECT_EQ(GlobalToDevice(two, -3.0, -3.0), (PixPoint{0, 0}));
}
