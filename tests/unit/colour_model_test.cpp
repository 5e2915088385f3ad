#include "colour/ColorModel.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

using namespace tp;

namespace {
std::tuple<int, int, int> T(TRGB c) {
    return {c.r, c.g, c.b};
}
} // namespace

TEST(ColorModel, SplitColorIgnoresTheTopByte) {
    const TRGB c = SplitColor(0xAA332211);
    EXPECT_EQ(T(c), std::make_tuple(0x11, 0x22, 0x33));
}

TEST(ColorModel, RGBToHSLPrimariesAndGrey) {
    HSLFractions f = RGBToHSL(255, 0, 0);
    EXPECT_DOUBLE_EQ(f.Hue, 0);
    EXPECT_DOUBLE_EQ(f.Saturation, 1);
    EXPECT_DOUBLE_EQ(f.Lightness, 0.5);
    EXPECT_DOUBLE_EQ(RGBToHSL(0, 255, 0).Hue, 1.0 / 3);
    EXPECT_DOUBLE_EQ(RGBToHSL(0, 0, 255).Hue, 2.0 / 3);
    f = RGBToHSL(128, 128, 128);
    EXPECT_EQ(f.Hue, 0);
    EXPECT_EQ(f.Saturation, 0);
    EXPECT_DOUBLE_EQ(f.Lightness, 128.0 / 255);
    // A negative sextant wraps into [0, 1).
    f = RGBToHSL(255, 0, 1);
    EXPECT_GT(f.Hue, 0.99);
    EXPECT_LT(f.Hue, 1.0);
}

TEST(ColorModel, RGBToHSVTable) {
    struct Case {
        uint8_t r, g, b;
        std::optional<int> h;
        int s, l;
    } cases[] = {
        {0, 255, 0, 120, 100, 100},
        {0, 0, 255, 239, 100, 100}, // scale 359: blue is 239, not 240
        {255, 0, 255, 299, 100, 100},
        {255, 128, 64, 20, 75, 100},
        {128, 128, 128, std::nullopt, 0, 50},
        {255, 255, 255, std::nullopt, 0, 100},
        {0, 0, 0, std::nullopt, 0, 0},
        // Nearly grey: S rounds to 0 but the hue survives; 179.5 rounds to even 180.
        {254, 255, 255, 180, 0, 100},
        {18, 52, 86, 209, 79, 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.r) << "," << int(c.g) << "," << int(c.b));
        const HSVValues v = RGBToHSV(c.r, c.g, c.b);
        EXPECT_EQ(v.H, c.h);
        EXPECT_EQ(v.S, c.s);
        EXPECT_EQ(v.L, c.l);
    }
}

TEST(ColorModel, HSVToRGBTable) {
    EXPECT_EQ(T(HSVToRGB(120, 100, 100)), std::make_tuple(0, 255, 0));
    EXPECT_EQ(T(HSVToRGB(300, 100, 100)), std::make_tuple(255, 0, 255));
    EXPECT_EQ(T(HSVToRGB(359, 100, 100)), std::make_tuple(255, 0, 4));
    // v = 127.5 rounds to the even 128; 6 * (60 / 360) lands on sector 1.
    EXPECT_EQ(T(HSVToRGB(60, 50, 50)), std::make_tuple(128, 128, 64));
    EXPECT_EQ(T(HSVToRGB(0, 0, 100)), std::make_tuple(255, 255, 255));
    EXPECT_EQ(T(HSVToRGB(200, 0, 50)), std::make_tuple(128, 128, 128));
    EXPECT_EQ(T(HSVToRGB(0, 100, 100)), std::make_tuple(255, 0, 0));
    EXPECT_EQ(T(HSVToRGB(240, 100, 100)), std::make_tuple(0, 0, 255));
}

TEST(ColorModel, HSLToRGBEndsOfTheHueAndCyan) {
    EXPECT_EQ(T(HSLToRGB(1.0, 1.0, 0.47)), std::make_tuple(240, 0, 0));
    EXPECT_EQ(T(HSLToRGB(0.0, 1.0, 0.47)), std::make_tuple(240, 0, 0));
    EXPECT_EQ(T(HSLToRGB(0.5, 1, 0.5)), std::make_tuple(0, 255, 255));
    EXPECT_EQ(T(HSLToRGB(0.25, 0, 0.5)), std::make_tuple(128, 128, 128));
}

// Every one of the 16,777,216 colours survives RGB -> HSL -> RGB.
TEST(ColorModel, EveryColourSurvivesAnHSLRoundTrip) {
    uint32_t failures = 0, first = 0;
    for (uint32_t c = 0; c < (1u << 24); ++c) {
        const uint8_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        const HSLFractions f = RGBToHSL(r, g, b);
        const TRGB back = HSLToRGB(f.Hue, f.Saturation, f.Lightness);
        if (back.r != r || back.g != g || back.b != b) {
            if (failures++ == 0) first = c;
        }
    }
    EXPECT_EQ(failures, 0u) << "first failing colour 0x" << std::hex << first;
}

TEST(TPSPColor, StartsBlackAndKeepsTheThreeFormsInStep) {
    TPSPColor c;
    EXPECT_EQ(c.Red() + c.Green() + c.Blue() + c.HueByte() + c.SaturationByte() + c.LightnessByte(),
              0);
    EXPECT_EQ(c.Hue() + c.Saturation() + c.Lightness(), 0);

    c.SetRGB(TRGB{0, 0, 255});
    EXPECT_DOUBLE_EQ(c.Hue(), 2.0 / 3);
    EXPECT_EQ(c.HueByte(), 170);
    EXPECT_EQ(c.SaturationByte(), 255);
    EXPECT_EQ(c.LightnessByte(), 128); // 127.5 to even

    c.SetHSL(0.5, 1, 0.5);
    EXPECT_EQ(T({c.Red(), c.Green(), c.Blue()}), std::make_tuple(0, 255, 255));
    EXPECT_EQ(c.HueByte(), 128);

    c.SetHSLBytes(255, 255, 128);
    EXPECT_DOUBLE_EQ(c.Hue(), 1.0);
    EXPECT_EQ(c.Red(), 255);
    EXPECT_EQ(c.Green(), 1);
    EXPECT_EQ(c.Blue(), 1);

    TPSPColor d;
    d.Assign(c);
    EXPECT_EQ(d.Color(), c.Color());
    EXPECT_EQ(d.LightnessByte(), 128);
}

TEST(TPSPColor, ZeroSaturationBytesGiveTheLightnessGreyWhateverTheHue) {
    TPSPColor c;
    for (int h : {0, 77, 255})
        for (int l : {0, 1, 127, 128, 254, 255}) {
            c.SetHSLBytes(uint8_t(h), 0, uint8_t(l));
            EXPECT_EQ(T({c.Red(), c.Green(), c.Blue()}), std::make_tuple(l, l, l));
        }
}

namespace {
// num / den rounded to the nearest integer, ties to even, in exact integer
// arithmetic (num >= 0, den > 0).
long long RoundRatio(long long num, long long den) {
    const long long q = num / den, twiceRest = 2 * (num % den);
    return twiceRest > den || (twiceRest == den && q % 2 != 0) ? q + 1 : q;
}
} // namespace

// Every colour, against the exact fractions: no half is lost to a floating-point
// step that lands just beside it (17, 17, 40 has S = 57.5, which goes to 58).
// A quarter of the reds per test, so that the four run side by side.
class RGBToHSVEveryColour : public ::testing::TestWithParam<int> {};

TEST_P(RGBToHSVEveryColour, RoundsLikeExactFractions) {
    int wrong = 0;
    for (int r = GetParam() * 64; r < GetParam() * 64 + 64; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                const int mx = std::max({r, g, b}), mn = std::min({r, g, b}), d = mx - mn;
                std::optional<int> h;
                if (d > 0) {
                    // The hue as a fraction n / (6 d) of a full turn.
                    long long n;
                    if (r == mx)
                        n = g - b < 0 ? g - b + 6 * d : g - b;
                    else if (g == mx)
                        n = 2 * d + b - r;
                    else
                        n = 4 * d + r - g;
                    h = static_cast<int>(RoundRatio(359 * n, 6LL * d));
                }
                const int s = d > 0 ? static_cast<int>(RoundRatio(100LL * d, mx)) : 0;
                const int l = static_cast<int>(RoundRatio(100LL * mx, 255));
                const HSVValues v = RGBToHSV(uint8_t(r), uint8_t(g), uint8_t(b));
                if (v.H != h || v.S != s || v.L != l) {
                    if (++wrong <= 5)
                        ADD_FAILURE() << r << "," << g << "," << b << ": H " << v.H.value_or(-1)
                                      << " S " << v.S << " L " << v.L << ", exact H "
                                      << h.value_or(-1) << " S " << s << " L " << l;
                }
            }
    EXPECT_EQ(wrong, 0);
}
INSTANTIATE_TEST_SUITE_P(ColorModel, RGBToHSVEveryColour, ::testing::Range(0, 4));

TEST(ColorModel, HSVToRGBRoundsEveryEditValueLikeExactFractions) {
    int wrong = 0;
    for (int H = 0; H < 360; ++H)
        for (int S = 0; S <= 100; ++S)
            for (int L = 0; L <= 100; ++L) {
                // v = L * 255 / 100; the sector's share f = (H mod 60) / 60.
                const long long v100 = L * 255LL, f60 = H % 60;
                const int v = int(RoundRatio(v100, 100));
                const int p = int(RoundRatio(v100 * (100 - S), 10000));
                const int q = int(RoundRatio(v100 * (6000 - S * f60), 600000));
                const int t = int(RoundRatio(v100 * (6000 - S * (60 - f60)), 600000));
                std::tuple<int, int, int> want;
                if (S == 0)
                    want = {v, v, v};
                else
                    switch (H / 60) {
                    case 0:
                        want = {v, t, p};
                        break;
                    case 1:
                        want = {q, v, p};
                        break;
                    case 2:
                        want = {p, v, t};
                        break;
                    case 3:
                        want = {p, q, v};
                        break;
                    case 4:
                        want = {t, p, v};
                        break;
                    default:
                        want = {v, p, q};
                        break;
                    }
                const auto got = T(HSVToRGB(H, S, L));
                if (got != want && ++wrong <= 5)
                    ADD_FAILURE() << "HSVToRGB(" << H << "," << S << "," << L
                                  << ") = " << std::get<0>(got) << "," << std::get<1>(got) << ","
                                  << std::get<2>(got) << ", exact " << std::get<0>(want) << ","
                                  << std::get<1>(want) << "," << std::get<2>(want);
            }
    EXPECT_EQ(wrong, 0);
}
