// A colour as text: one colour in each copy format, pastes in the accepted
// forms are understood, anything else is refused (every colour through every
// format is in color_text_every_colour_test.cpp).
#include "colour/ColorText.h"

#include <gtest/gtest.h>

using namespace tp;

namespace {

TRGB Hex(uint32_t rgb) {
    return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
}

} // namespace

TEST(ColorText, OneColourInEachFormat) {
    const TRGB c = Hex(0xCF0000);
    EXPECT_EQ(FormatColor(c, CopyFormat::Bare), "CF0000");
    EXPECT_EQ(FormatColor(c, CopyFormat::Hash), "#CF0000");
    EXPECT_EQ(FormatColor(c, CopyFormat::Rgb), "rgb(207, 0, 0)");
    // l = 207 / 510 = 40.59 %: one decimal is needed to come back to 207.
    EXPECT_EQ(FormatColor(c, CopyFormat::Hsl), "hsl(0, 100%, 40.6%)");
    // 25% is G = 127.5 exactly, a half a float reader may round either way.
    EXPECT_EQ(FormatColor(Hex(0x008000), CopyFormat::Hsl), "hsl(120, 100%, 25.1%)");
    // hsl(20, 100%, 45%) would be E64D00: G = 76.5 goes up.
    EXPECT_EQ(FormatColor(Hex(0xE64C00), CopyFormat::Hsl), "hsl(19.8, 100%, 45.1%)");
    EXPECT_EQ(FormatColor(c, CopyFormat::RgbSpace), "rgb(207 0 0)");
    EXPECT_EQ(FormatColor(c, CopyFormat::Oklch), "oklch(0.537 0.220 29.234)");
    EXPECT_EQ(FormatColor(Hex(0x808080), CopyFormat::Oklch), "oklch(0.600 0.000 0.000)");
    EXPECT_EQ(FormatColor(c, CopyFormat::Flutter), "Color(0xFFCF0000)");
    EXPECT_EQ(FormatColor(c, CopyFormat::UIColor),
              "UIColor(red: 0.812, green: 0.000, blue: 0.000, alpha: 1.0)");
    EXPECT_EQ(FormatColor(c, CopyFormat::QColor), "QColor(207, 0, 0)");
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
        {"hsl(32, 75%, 40%)", 0xB36B1A},   // R = 178.5 exactly, which a float misses
        {"hsl(20, 100%, 45%)", 0xE64D00},
        {"hsl(0.5turn 100% 50%)", 0x00FFFF},
        {"hsl(200grad, 100%, 50%)", 0x00FFFF},
        {"hsl(120 100 25)", 0x008000}, // bare numbers in the blank-separated form
        {"hsl(20.000000000000004, 100%, 45%)", 0xE64D00},
        // Numbers as CSS writes them.
        {"rgb(2.5, 3.4, 4.6)", 0x030305},
        {"rgb(1.0, 2, 3)", 0x010203},
        {"rgb(+1, 2, 3)", 0x010203},
        {"rgb(1e2, 0, 0)", 0x640000},
        {"rgb(.5e1, 0, 0)", 0x050000},
        {"rgb(1,\n 2,\r\n 3)", 0x010203},
        {"rgb(\n1\n2\n3\n)", 0x010203},
        {"rgb(100%, 0%, 0%)", 0xFF0000},
        {"rgb(50% 0 0)", 0x800000}, // 127.5
        {"rgb (1, 2, 3)", 0x010203},
        // Full opacity, in each way of writing an alpha.
        {"#E63946FF", 0xE63946},
        {"#F00F", 0xFF0000},
        {"rgba(1, 2, 3, 1)", 0x010203},
        {"rgb(1, 2, 3, 1.0)", 0x010203},
        {"hsla(0, 100%, 50%, 100%)", 0xFF0000},
        {"rgb(1 2 3 / 1)", 0x010203},
        {"hsl(0 100% 50% / 100%)", 0xFF0000},
        {"oklch(0.5 0 0 / 1)", 0x636363},
        // A declaration stands for its value.
        {"color: #E63946;", 0xE63946},
        {"#E63946;", 0xE63946},
        {"  background-color : rgb(1, 2, 3) ;", 0x010203},
        {"--brand: #abc !important;", 0xAABBCC},
        // oklch(): white and black at the ends of L; a colour outside sRGB
        // comes in as CSS maps it, keeping lightness and hue.
        {"oklch(62.8% 0.2577 29.23)", 0xFF0000},
        {"oklch(1 0.4 100)", 0xFFFFFF},
        {"oklch(0% 0.4 100)", 0x000000},
        {"oklch(0.7 0.3 145)", 0x00C300},
        // Colours as code.
        {"Color(0xFFE64C00)", 0xE64C00},
        {"const Color(0xffe64c00);", 0xE64C00},
        {"UIColor(red: 0.902, green: 0.298, blue: 0.000, alpha: 1.0)", 0xE64C00},
        {"UIColor(red: 230/255, green: 76/255.0, blue: 0, alpha: 1)", 0xE64C00},
        {"UIColor(red: 0.5, green: 0, blue: 0, alpha: 1)", 0x800000}, // 127.5
        {"QColor(230, 76, 0)", 0xE64C00},
        {"QColor(230, 76, 0, 255);", 0xE64C00},
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

TEST(ColorText, HuesOfAnySizeComeRoundTheCircle) {
    for (const auto& [text, same] : {std::pair{"hsl(-320, 100%, 50%)", "hsl(40, 100%, 50%)"},
                                     {"hsl(1e400, 100%, 50%)", "hsl(280, 100%, 50%)"},
                                     {"oklch(0.5 0.1 -320)", "oklch(0.5 0.1 40)"},
                                     {"oklch(0.5 0.1 1e400)", "oklch(0.5 0.1 280)"},
                                     {"oklch(0.5 0.1 0.5turn)", "oklch(0.5 0.1 180)"}}) {
        const auto a = ParseColorText(text), b = ParseColorText(same);
        ASSERT_TRUE(a && b) << text;
        EXPECT_EQ(*a, *b) << text;
    }
    // A chroma beyond any number is no colour (a large one is mapped in).
    EXPECT_FALSE(ParseColorText("oklch(0.5 1e400 0)"));
    EXPECT_TRUE(ParseColorText("oklch(0.5 1e300 0)"));
}

TEST(ColorText, RefusesEverythingElseWhole) {
    for (const char* text :
         {"", "   ", "ab cd ef", "#ABCD", "ABC", "ABCDEF0", "#GGGGGG", "0xABC", "rgb(256, 0, 0)",
          "rgb(1, 2)", "rgb(1, 2, 3, 4)", "rgb(-1, 0, 0)", "rgb(255.5, 0, 0)", "rgb(101%, 0, 0)",
          "rgb(1., 0, 0)", "rgb(1e, 0, 0)", "rgb(1, 2 3)", "rgb(1 2 3 / 1 / 1)",
          "rgb(1, 2, 3, 1.5)", "oklch(1, 0, 0)", "oklch(1.1 0 0)", "Color(0xFFE64C00",
          "Color(0x1FFE64C00)", "UIColor(green: 0.3, red: 0.9, blue: 0, alpha: 1)",
          "UIColor(red: 1.5, green: 0, blue: 0, alpha: 1)",
          "UIColor(red: 1/0, green: 0, blue: 0, alpha: 1)", "QColor(256, 0, 0)",
          "QColor(1.5, 0, 0)", "color: ;", "a b: #E63946",
          // 41 decimals, more than any copied figure has
          "hsl(0.00000000000000000000000000000000000000001, 5%, 5%)", "rgb(1,,2,3)", "rgb(1, 2, 3",
          "rgb 1 2 3", "hsl(0, 101%, 50%)", "hsl(0, 50, 50)", "hsl(x, 5%, 5%)", "hsl(1., 5%, 5%)",
          "steel blue", "transparent", "红色"})
        EXPECT_FALSE(ParseColorText(text)) << text;
}

TEST(ColorText, AColourThatIsNotOpaqueIsRefusedAsSuch) {
    for (const char* text :
         {"#E6394680", "#F008", "rgba(1, 2, 3, 0.5)", "rgb(1 2 3 / 0)", "hsla(0, 100%, 50%, 99.9%)",
          "oklch(0.5 0 0 / 0.5)", "transparent", "Color(0xE64C00)", "QColor(1, 2, 3, 128)",
          "UIColor(red: 1, green: 0, blue: 0, alpha: 0.5)"}) {
        EXPECT_FALSE(ParseColorText(text)) << text;
        EXPECT_NE(NotAColorMessage(text).find("只保存不透明的颜色"), std::string::npos) << text;
    }
    EXPECT_EQ(NotAColorMessage("#E6394").find("只保存不透明的颜色"), std::string::npos);
}

TEST(ColorText, RefusalShowsTheTextAndTheAcceptedForms) {
    const std::string m = NotAColorMessage("  ab cd ef\n");
    EXPECT_NE(m.find("“ab cd ef”"), std::string::npos) << m;
    for (const char* form : {"#RRGGBB", "#RGB", "rgb(", "hsl(", "CSS"})
        EXPECT_NE(m.find(form), std::string::npos) << form;
    // A long paste is cut short in the message.
    EXPECT_LT(NotAColorMessage(std::string(500, 'x')).size(), 400u);
}
