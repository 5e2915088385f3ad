#include "sampling/RulerGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

using tp::InvertLine;
using tp::PixelBuffer;
using tp::PixPoint;
using tp::RulerDistance;

TEST(RulerDistance, CountsBothEndPixels) {
    EXPECT_EQ(RulerDistance({10, 5}, {20, 5}), 11);
    EXPECT_EQ(RulerDistance({20, 5}, {10, 5}), 11);
    EXPECT_EQ(RulerDistance({7, 0}, {7, 99}), 100);
    EXPECT_EQ(RulerDistance({10, 10}, {13, 14}), 6); // sqrt(4^2 + 5^2) = 6.40
    EXPECT_EQ(RulerDistance({13, 14}, {10, 10}), 6);
    EXPECT_EQ(RulerDistance({30, 40}, {30, 40}), 0);
    EXPECT_EQ(RulerDistance({30, 40}, {31, 40}), 2);
    EXPECT_EQ(RulerDistance({30, 40}, {31, 41}), 3); // sqrt(8) = 2.83
    EXPECT_EQ(RulerDistance({0, 0}, {0, 0}), 0);
    EXPECT_EQ(RulerDistance({0, 0}, {1919, 1079}), 2203); // sqrt(1920^2 + 1080^2) = 2202.9
}

TEST(RulerDistance, DiagonalsRoundToNearestAndNeverOverflow) {
    for (int dx = 1; dx < 60; ++dx)
        for (int dy = 1; dy < 60; ++dy) {
            const double exact = std::hypot(dx + 1.0, dy + 1.0);
            const int got = RulerDistance({100, 100}, {100 + dx, 100 - dy});
            EXPECT_LT(std::abs(got - exact), 0.5) << dx << "," << dy;
        }
    // Far-apart points of a huge virtual desktop: the squares exceed 32 bits.
    EXPECT_EQ(RulerDistance({-40000, -40000}, {40000, 40000}), 113138); // 113138.499
}

namespace {
struct Canvas {
    int w, h;
    std::vector<uint32_t> px;
    Canvas(int w_, int h_) : w(w_), h(h_), px(static_cast<size_t>(w_ * h_)) {
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u & 0xFFFFFFu);
    }
    PixelBuffer view() { return {px.data(), w, h, w}; }
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

std::set<std::pair<int, int>> LinePixels(PixPoint a, PixPoint b) {
    std::set<std::pair<int, int>> s;
    size_t n = 0;
    tp::ForEachLinePixel(a, b, [&](int x, int y) {
        s.insert({x, y});
        ++n;
    });
    EXPECT_EQ(n, s.size()) << "a pixel came twice";
    return s;
}
} // namespace

TEST(RulerLine, CoversStartNotEndAndSteps) {
    EXPECT_TRUE(LinePixels({5, 5}, {5, 5}).empty());
    EXPECT_EQ(LinePixels({2, 3}, {6, 3}),
              (std::set<std::pair<int, int>>{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
    EXPECT_EQ(LinePixels({6, 3}, {6, 0}), (std::set<std::pair<int, int>>{{6, 3}, {6, 2}, {6, 1}}));
    // Steep and shallow lines in every octant are connected and as long as
    // their major extent.
    const PixPoint c{20, 20};
    for (PixPoint e : {PixPoint{31, 24}, PixPoint{24, 31}, PixPoint{9, 24}, PixPoint{16, 9},
                       PixPoint{31, 9}, PixPoint{9, 31}}) {
        auto s = LinePixels(c, e);
        EXPECT_EQ(s.size(),
                  static_cast<size_t>(std::max(std::abs(e.x - c.x), std::abs(e.y - c.y))));
        EXPECT_TRUE(s.count({c.x, c.y}));
        EXPECT_FALSE(s.count({e.x, e.y}));
        for (auto [x, y] : s) {
            bool linked = (x == c.x && y == c.y);
            for (int ox = -1; ox <= 1 && !linked; ++ox)
                for (int oy = -1; oy <= 1 && !linked; ++oy)
                    linked = (ox || oy) && s.count({x + ox, y + oy});
            EXPECT_TRUE(linked) << x << "," << y;
        }
    }
}

TEST(RulerLine, InvertingTwiceRestoresEveryPixel) {
    const std::vector<std::pair<PixPoint, PixPoint>> lines = {
        {{0, 0}, {39, 0}},    {{0, 0}, {0, 29}},    {{0, 29}, {39, 0}}, {{39, 29}, {0, 0}},
        {{3, 0}, {3, 0}},     {{10, 10}, {13, 14}}, {{0, 5}, {25, 0}},  {{-10, -7}, {60, 45}},
        {{20, 15}, {-5, 15}}, {{20, 15}, {20, 100}}};
    for (auto [a, b] : lines) {
        Canvas c(40, 30);
        const auto before = c.px;
        InvertLine(c.view(), a, b);
        const auto pixels = LinePixels(a, b);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const size_t i = static_cast<size_t>(y * c.w + x);
                if (pixels.count({x, y}))
                    EXPECT_EQ(c.px[i], before[i] ^ 0x00FFFFFFu) << x << "," << y;
                else
                    EXPECT_EQ(c.px[i], before[i]) << x << "," << y;
            }
        InvertLine(c.view(), a, b);
        EXPECT_EQ(c.px, before) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
    }
}

TEST(RulerLine, RubberBandSequenceLeavesNoTrace) {
    // A drag as the window runs it: erase the previous line, draw the new one.
    Canvas c(50, 50);
    const auto before = c.px;
    const PixPoint start{0, 0};
    PixPoint shown = start;
    for (PixPoint p : {PixPoint{10, 3}, PixPoint{49, 49}, PixPoint{0, 49}, PixPoint{0, 0},
                       PixPoint{25, 0}, PixPoint{1, 1}}) {
        InvertLine(c.view(), start, shown);
        InvertLine(c.view(), start, p);
        shown = p;
        // Only the current line differs from the picture.
        const auto pixels = LinePixels(start, shown);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                EXPECT_EQ(c.at(x, y) != before[static_cast<size_t>(y * c.w + x)],
                          pixels.count({x, y}) == 1);
    }
    InvertLine(c.view(), start, shown);
    EXPECT_EQ(c.px, before);
}

TEST(RulerLine, HonoursRowStrideAndKeepsTopByte) {
    std::vector<uint32_t> px(8 * 4, 0x12345678u);
    InvertLine({px.data(), 5, 4, 8}, {0, 1}, {8, 1}); // clipped at width 5, not the stride
    for (size_t x = 0; x < 8; ++x)
        EXPECT_EQ(px[8 + x], x < 5 ? 0x12CBA987u : 0x12345678u) << x;
    InvertLine({nullptr, 5, 4, 8}, {0, 0}, {3, 3}); // no buffer: nothing happens
}

TEST(RulerGeometry, MousePositionsBecomeDevicePixelsOfThePicture) {
    using tp::WindowToPicture;
    EXPECT_EQ(tp::ClampToPicture({-3, 700}, 640, 480), (PixPoint{0, 479}));
    EXPECT_EQ(tp::ClampToPicture({639, 0}, 640, 480), (PixPoint{639, 0}));
    // Every device pixel of a scaled screen is reachable from the fractional
    // positions Qt reports for it, at each common scale factor.
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        const int w = static_cast<int>(800 * scale), h = static_cast<int>(600 * scale);
        for (int d = 0; d < w; ++d) {
            const double logical = d / scale;
            ASSERT_EQ(WindowToPicture(logical, 0, scale, w, h).x, d) << scale << " " << d;
        }
        EXPECT_EQ(WindowToPicture(799.99, 599.99, scale, w, h), (PixPoint{w - 1, h - 1}));
        EXPECT_EQ(WindowToPicture(-0.5, 1e12, scale, w, h), (PixPoint{0, h - 1}));
    }
    EXPECT_EQ(WindowToPicture(3, 7, 1.1, 100, 100), (PixPoint{3, 7})); // 3.3 and 7.7 floored
    EXPECT_EQ(WindowToPicture(10, 10, 1.1, 100, 100), (PixPoint{11, 11}));
    EXPECT_EQ(WindowToPicture(5, 5, 0, 100, 100), (PixPoint{5, 5})); // no scale: 1
}

TEST(RulerGeometry, ThePointerInDevicePixelsRefinesRoundedPositions) {
    using tp::WindowToPicture;
    // At 1.5 device pixel 560 is logical 373.33, which X11 reports as 373:
    // alone that gives 559, the pointer read from the screen says 560.
    EXPECT_EQ(WindowToPicture(373, 267, 1.5, 1024, 768), (PixPoint{559, 400}));
    EXPECT_EQ(WindowToPicture(373, 267, 1.5, 1024, 768, PixPoint{560, 400}), (PixPoint{560, 400}));
    EXPECT_EQ(WindowToPicture(373, 267, 1.5, 1024, 768, PixPoint{559, 401}), (PixPoint{559, 401}));
    // Every device pixel is reached from its rounded logical position, whether
    // the platform rounds or cuts.
    for (double scale : {1.25, 1.5, 2.0})
        for (int d = 0; d < 600; ++d) {
            for (double l : {std::floor(d / scale), std::round(d / scale)})
                ASSERT_EQ(WindowToPicture(l, l, scale, 2000, 2000, PixPoint{d, d}),
                          (PixPoint{d, d}))
                    << scale << " " << d << " " << l;
        }
    // A pointer that has moved on since the event does not count, nor does
    // any pointer on an unscaled screen, where the event is exact.
    EXPECT_EQ(WindowToPicture(373, 267, 1.5, 1024, 768, PixPoint{600, 400}), (PixPoint{559, 400}));
    EXPECT_EQ(WindowToPicture(373, 267, 1.5, 1024, 768, PixPoint{560, 390}), (PixPoint{559, 400}));
    EXPECT_EQ(WindowToPicture(40, 30, 1.0, 100, 100, PixPoint{41, 30}), (PixPoint{40, 30}));
    // The pointer is clamped to the picture like any other point.
    EXPECT_EQ(WindowToPicture(682, 511, 1.5, 1024, 768, PixPoint{1024, 767}),
              (PixPoint{1023, 767}));
}
