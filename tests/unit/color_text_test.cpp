// A colour as text: every copy format reads back as the colour it came from,
// pastes in the accepted forms are understood, anything else is refused.
#include "colour/ColorText.h"

#include <gtest/gtest.h>

using namespace tp;

namespace {

TRGB Hex(uint32_t rgb) {
    return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
}

} // namespace

TEST(ColorText, EveryFormatReadsBackAsTheColourItWrites) {
    // Every colour of a grid that includes both ends of each channel, and
    // every named colour (whose Name format is its name).
    std::vector<TRGB> colours;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 3)
                colours.push_back({uint8_t(r), uint8_t(g), uint8_t(b)});
    for (const NamedColor& n : CssNamedColors())
        colours.push_back(n.rgb);
    for (const TRGB c : colours)
        for (const CopyFormatInfo& f : CopyFormats()) {
            const std::string text = FormatColor(c, f.format);
            const auto back = ParseColorText(text);
            ASSERT_TRUE(back) << text;
            ASSERT_EQ(*back, c) << text;
        }
}

TEST(ColorText, OneColourInEachFormat) {
    const TRGB c = Hex(0xCF0000);
    EXPECT_EQ(FormatColor(c, CopyFormat::Bare), "CF0000");
    EXPECT_EQ(FormatColor(c, CopyFormat::Hash), "#CF0000");
    EXPECT_EQ(FormatColor(c, CopyFormat::Rgb), "rgb(207, 0, 0)");
    // l = 207 / 510 = 40.59 %: one decimal is needed to come back to 207.
    EXPECT_EQ(FormatColor(c, CopyFormat::Hsl), "hsl(0, 100%, 40.6%)");
    EXPECT_EQ(FormatColor(Hex(0x008000), CopyFormat::Hsl), "hsl(120, 100%, 25%)");
    EXPECT_EQ(FormatColor(c, CopyFormat::Hex0x), "0xCF0000");
    // No CSS name for CF0000: the Name format falls back to #RRGGBB.
    EXPECT_EQ(FormatColor(c, CopyFormat::Name), "#CF0000");
    EXPECT_EQ(FormatColor(Hex(0x4682B4), CopyFormat::Name), "steelblue");
    // Of two aliases, the first by name.
    EXPECT_EQ(FormatColor(Hex(0x00FFFF), CopyFormat::Name), "aqua");
    EXPECT_EQ(FormatColor(Hex(0xA9A9A9), CopyFormat::Name), "darkgray");
    EXPECT_EQ(CssNamedColors().size(), 148u);
}

TEST(ColorText, UnderstandsTheAcceptedFormsWithBlanksAround) {
    const std::pair<const char*, uint32_t> pastes[] = {
        {"#ABCDEF", 0xABCDEF},
        {"  #abcdef\t", 0xABCDEF},
        {"#ABC", 0xAABBCC},
        {"\nABCDEF \r\n", 0xABCDEF},
        {"0xcf0000", 0xCF0000},
        {"\xE3\x80\x80#0A0B0C\xC2\xA0", 0x0A0B0C}, // ideographic and no-break spaces
        {"rgb(207, 0, 0)", 0xCF0000},
        {"RGB( 1 2 3 )", 0x010203},
        {"hsl(120, 100%, 25%)", 0x008000}, // 127.5 rounds up, as in browsers
        {"hsl(0deg 0% 50%)", 0x808080},
        {"hsl(-120, 100%, 50%)", 0x0000FF},
        {"hsl(480, 100%, 50%)", 0x00FF00},
        {"SteelBlue", 0x4682B4},
        {" rebeccapurple ", 0x663399},
    };
    for (const auto& [text, rgb] : pastes) {
        const auto c = ParseColorText(text);
        ASSERT_TRUE(c) << text;
        EXPECT_EQ(*c, Hex(rgb)) << text;
    }
}

TEST(ColorText, RefusesEverythingElseWhole) {
    for (const char* text : {"",
                             "   ",
                             "ab cd ef",
                             "#ABCD",
                             "ABC",
                             "ABCDEF0",
                             "#GGGGGG",
                             "0xABC",
                             "rgb(256, 0, 0)",
                             "rgb(1, 2)",
                             "rgb(1, 2, 3, 4)",
                             "rgb(-1, 0, 0)",
                             "rgb(1.5, 0, 0)",
                             "rgb(1,,2,3)",
                             "rgb(1, 2, 3",
                             "rgb 1 2 3",
                             "hsl(0, 101%, 50%)",
                             "hsl(0, 50, 50)",
                             "hsl(x, 5%, 5%)",
                             "hsl(1., 5%, 5%)",
                             "steel blue",
                             "transparent",
                             "红色"})
        EXPECT_FALSE(ParseColorText(text)) << text;
}

TEST(ColorText, RefusalShowsTheTextAndTheAcceptedForms) {
    const std::string m = NotAColorMessage("  ab cd ef\n");
    EXPECT_NE(m.find("“ab cd ef”"), std::string::npos) << m;
    for (const char* form : {"#RRGGBB", "#RGB", "rgb(", "hsl(", "CSS"})
        EXPECT_NE(m.find(form), std::string::npos) << form;
    // A long paste is cut short in the message.
    EXPECT_LT(NotAColorMessage(std::string(500, 'x')).size(), 400u);
}
