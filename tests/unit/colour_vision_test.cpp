// The colour-vision model against the matrices Machado, Oliveira and
// Fernandes published for severity 1.0, the 8-bit path through linear light,
// and greys, which every dichromat sees as they are.
#include "colour/ColourVision.h"

#include <gtest/gtest.h>

using namespace tp;

namespace {
uint32_t Hex(TRGB c) {
    return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
}
} // namespace

TEST(ColourVision, PrimariesComeOutAsThePublishedColumns) {
    // Red, green and blue of linear light pick out the matrix columns.
    const struct {
        Deficiency d;
        double red[3], blue[3];
    } published[] = {
        {Deficiency::Protanopia, {0.152286, 0.114503, -0.003882}, {-0.204868, 0.099216, 1.051998}},
        {Deficiency::Deuteranopia,
         {0.367322, 0.280085, -0.011820},
         {-0.227968, 0.047413, 0.968881}},
        {Deficiency::Tritanopia, {1.255528, -0.078411, 0.004733}, {-0.178779, 0.147602, 0.303900}},
    };
    for (const auto& p : published) {
        const auto red = SimulateLinear(p.d, {1, 0, 0}), blue = SimulateLinear(p.d, {0, 0, 1});
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(red[i], p.red[i]) << int(p.d) << " red " << i;
            EXPECT_DOUBLE_EQ(blue[i], p.blue[i]) << int(p.d) << " blue " << i;
        }
    }
    EXPECT_DOUBLE_EQ(SimulateLinear(Deficiency::Deuteranopia, {0, 1, 0})[0], 0.860646);
    EXPECT_DOUBLE_EQ(SimulateLinear(Deficiency::Tritanopia, {0, 1, 0})[2], 0.691367);
}

TEST(ColourVision, EightBitColoursGoThroughLinearLightAndAreClamped) {
    // Worked out apart from the program, with sRGB's curve both ways.
    EXPECT_EQ(Hex(Simulate(Deficiency::Protanopia, {255, 0, 0})), 0x6D5F00u);
    EXPECT_EQ(Hex(Simulate(Deficiency::Deuteranopia, {255, 0, 0})), 0xA39000u);
    EXPECT_EQ(Hex(Simulate(Deficiency::Tritanopia, {255, 0, 0})), 0xFF000Fu); // 1.26 clamped
    EXPECT_EQ(Hex(Simulate(Deficiency::Protanopia, {0xE6, 0x39, 0x46})), 0x6C6545u);
    EXPECT_EQ(Hex(Simulate(Deficiency::Tritanopia, {0x1D, 0x35, 0x57})), 0x003D41u);
    EXPECT_EQ(Deficiencies().size(), 3u);
}

TEST(ColourVision, GreyStaysGrey) {
    for (const DeficiencyInfo& info : Deficiencies())
        for (int v = 0; v < 256; ++v) {
            const TRGB grey{uint8_t(v), uint8_t(v), uint8_t(v)};
            ASSERT_EQ(Simulate(info.deficiency, grey), grey) << info.name << " " << v;
        }
}
