// Palette files: GIMP palettes read from fixtures written to GIMP's
// documented format, bad files refused with their line, and what the
// writers produce read back or checked.
#include "base/Convert.h"
#include "library/Palette.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

using namespace tp;

namespace {

std::string Fixture(const char* name) {
    std::ifstream in(std::string(TINTPICK_FIXTURES) + "/palettes/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ErrorOf(std::string_view text) {
    try {
        ReadGpl(text, "x");
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Gpl, ReadsTheDocumentedFormat) {
    const Palette p = ReadGpl(Fixture("documented.gpl"), "documented");
    EXPECT_EQ(p.name, "Web page");
    EXPECT_EQ(p.columns, 4);
    const std::vector<PaletteEntry> want = {
        {"Black", {0, 0, 0}, {}},
        {"White with blanks around", {255, 255, 255}, {}},
        {"Steel\tblue\twith tabs", {70, 130, 180}, {}},
        {"Dark red, spaces between", {204, 0, 0}, {}},
        {"", {12, 34, 56}, {}},
    };
    EXPECT_EQ(p.entries, want);
}

TEST(Gpl, ReadsCrLfWithoutColumnsAndTheOldFormatWithoutAName) {
    const Palette crlf = ReadGpl(Fixture("crlf-no-columns.gpl"), "crlf-no-columns");
    EXPECT_EQ(crlf.name, "Office");
    EXPECT_EQ(crlf.columns, 0);
    const std::vector<PaletteEntry> want = {{"Red", {255, 0, 0}, {}}, {"绿色 深", {0, 128, 0}, {}}};
    EXPECT_EQ(crlf.entries, want);
    const Palette old = ReadGpl(Fixture("old-format.gpl"), "old-format");
    EXPECT_EQ(old.name, "old-format");
    ASSERT_EQ(old.entries.size(), 1u);
    EXPECT_EQ(old.entries[0], (PaletteEntry{"Yellow", {255, 255, 0}, {}}));
}

TEST(Gpl, BadFilesAreRefusedNamingTheLine) {
    const std::pair<const char*, const char*> bad[] = {
        {"", "第 1 行"},
        {"JASC-PAL\n0100\n", "第 1 行"},
        {"GIMP Palette\nName: a\nColumns: wide\n", "第 3 行"},
        {"GIMP Palette\nName: a\n0 0 0 ok\n256 0 0 too much\n", "第 4 行"},
        {"GIMP Palette\r\n0 0\r\n", "第 2 行"},
        {"GIMP Palette\n0 0 0Black\n", "第 2 行"},
        {"GIMP Palette\n-1 0 0 minus\n", "第 2 行"},
        {"GIMP Palette\n0 0 0 a\nName: late\n", "第 3 行"},
        {"GIMP Palette\n0 0 0 \xff\xfe\n", "第 2 行"},
    };
    for (const auto& [text, line] : bad) {
        const std::string m = ErrorOf(text);
        EXPECT_EQ(m.rfind(line, 0), 0u) << text << " -> " << m;
    }
}

TEST(Gpl, WhatIsWrittenReadsBackTheSame) {
    Palette p;
    p.name = "Tintpick 颜色库";
    p.columns = 8;
    p.entries = {{"大红", {204, 0, 0}, "comment"},
                 {"with  two\tinner blanks", {1, 2, 3}, {}},
                 {"", {255, 255, 255}, {}},
                 {"two\nlines", {0, 0, 0}, {}},
                 {"# not a comment", {9, 9, 9}, {}}};
    const Palette back = ReadGpl(WriteGpl(p), "other");
    EXPECT_EQ(back.name, p.name);
    EXPECT_EQ(back.columns, 8);
    auto want = p.entries;
    want[0].comment = {};       // a GIMP palette has no room for comments
    want[3].name = "two lines"; // a line break cannot stand in a line
    EXPECT_EQ(back.entries, want);
}

TEST(PaletteWriters, CssNamesAreUniquePropertiesAndJsonIsEscaped) {
    Palette p;
    p.name = "Mine */ here";
    p.entries = {{"Dark Red", {139, 0, 0}, "says */ done"},
                 {"dark-red", {139, 0, 1}, {}},
                 {"大红", {204, 0, 0}, {}},
                 {"1st", {1, 1, 1}, {}},
                 {"", {2, 2, 2}, {}},
                 {"q\"b\\\x01", {3, 3, 3}, "x"}};
    const std::string css = WriteCss(p);
    for (const char* line : {"  --dark-red: #8B0000; /* Dark Red — says * / done */\n",
                             "  --dark-red-2: #8B0001; /* dark-red */\n", "  --大红: #CC0000;\n",
                             "  --color-1st: #010101; /* 1st */\n", "  --color: #020202;\n"})
        EXPECT_NE(css.find(line), std::string::npos) << line << css;
    EXPECT_EQ(css.find("*/ here"), std::string::npos) << css;
    EXPECT_NE(css.find("/* q\"b\\  — x */"), std::string::npos) << css;

    const std::string json = WriteJson(p);
    EXPECT_NE(json.find(R"({"name": "Dark Red", "hex": "#8B0000", "rgb": [139, 0, 0], )"
                        R"("comment": "says */ done"})"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find(R"("name": "q\"b\\\u0001")"), std::string::npos) << json;
    EXPECT_EQ(WriteJson(Palette{"e", 0, {}}), "{\n  \"name\": \"e\",\n  \"colors\": []\n}\n");

    EXPECT_EQ(PaletteFormatOf("a/b.GPL"), PaletteFormat::Gpl);
    EXPECT_EQ(PaletteFormatOf("b.json"), PaletteFormat::Json);
    EXPECT_EQ(PaletteFormatOf("b.css"), PaletteFormat::Css);
    EXPECT_FALSE(PaletteFormatOf("b.txt"));
    EXPECT_FALSE(PaletteFormatOf("dir.gpl/b"));
}

TEST(PaletteWriters, TextThatIsNotUtf8IsWrittenAsReplacementCharacters) {
    // A store written by another tool may hold any bytes.
    Palette p;
    p.name = "lib \xC3";
    p.entries = {{"a\xFF"
                  "b",
                  {1, 2, 3},
                  "c\xE4\xB8"},
                 {"\xF0\x9F\x98", {4, 5, 6}, {}}};
    const std::string fffd = "\xEF\xBF\xBD";
    for (const PaletteFormat f : {PaletteFormat::Gpl, PaletteFormat::Css, PaletteFormat::Json}) {
        const std::string out = WritePalette(p, f);
        EXPECT_NE(out.find("a" + fffd + "b"), std::string::npos) << out;
        for (const char* raw : {"\xFF", "\xC3\n", "\xE4\xB8\"", "\x9F\x98\t"})
            EXPECT_EQ(out.find(raw), std::string::npos) << out;
    }
    const Palette back = ReadGpl(WriteGpl(p), "x");
    ASSERT_EQ(back.entries.size(), 2u);
    EXPECT_EQ(back.name, "lib " + fffd);
    EXPECT_EQ(back.entries[1].name, fffd);
}

TEST(Gpl, AnOverlongLineIsRefusedByItsNumberWithoutBeingCopied) {
    const std::string m = ErrorOf("GIMP Palette\n1 2 3 " + std::string(70000, 'a') + "\n");
    EXPECT_EQ(m.rfind("第 2 行", 0), 0u) << m.substr(0, 200);
    EXPECT_LT(m.size(), 400u);
}

TEST(Gpl, ANulByteInABadLineDoesNotCutTheMessage) {
    const std::string m = ErrorOf(std::string("GIMP Palette\n0 0 0 ok\n1 2\0 3 x\n", 31));
    EXPECT_EQ(m.find('\0'), std::string::npos);
    EXPECT_NE(m.find("3 x”"), std::string::npos) << m;
    EXPECT_NE(m.find("不是颜色行"), std::string::npos) << m;
}

TEST(Gpl, LinesEndingInACarriageReturnAloneAreRead) {
    const Palette p = ReadGpl("GIMP Palette\rName: Mac\r# c\r1 2 3 a\r4 5 6 b b\r", "x");
    EXPECT_EQ(p.name, "Mac");
    const std::vector<PaletteEntry> want = {{"a", {1, 2, 3}, {}}, {"b b", {4, 5, 6}, {}}};
    EXPECT_EQ(p.entries, want);
}

TEST(Gpl, ColumnsRunFromZeroTo256) {
    EXPECT_EQ(ReadGpl("GIMP Palette\nColumns: 256\n", "x").columns, 256);
    EXPECT_EQ(ReadGpl("GIMP Palette\nColumns: 0\n", "x").columns, 0);
    EXPECT_EQ(ErrorOf("GIMP Palette\nColumns: 257\n").rfind("第 2 行", 0), 0u);
}
