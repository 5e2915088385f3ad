// The colour library's display-free rules: default names, channel bytes,
// cell value checks and the message box's geometry.
#include "base/Convert.h"
#include "library/LibraryRules.h"

#include <gtest/gtest.h>

using namespace tp;

TEST(LibraryRules, DefaultNamePadsWithBlanksNotZeros) {
    EXPECT_EQ(DefaultColorName({5, 0, 255}), " 5 0FF");
    EXPECT_EQ(DefaultColorName({0, 0, 0}), " 0 0 0");
    EXPECT_EQ(DefaultColorName({255, 255, 255}), "FFFFFF");
    EXPECT_EQ(DefaultColorName({171, 205, 239}), "ABCDEF");
    EXPECT_EQ(DefaultColorName({10, 16, 1}), " A10 1");
}

TEST(LibraryRules, StoredChannelsKeepTheirLowByte) {
    EXPECT_EQ(ChannelByte(300), 44);
    EXPECT_EQ(ChannelByte(256), 0);
    EXPECT_EQ(ChannelByte(65535), 255);
    EXPECT_EQ(ChannelByte(-1), 255);
    EXPECT_EQ(ChannelByte(2147483647), 255);
}

TEST(LibraryRules, IntegerCellsGiveTheFieldMessages) {
    EXPECT_EQ(ParseIntField("65535", "红", WordRange), 65535);
    EXPECT_EQ(ParseIntField("+7", "红", WordRange), 7);
    EXPECT_EQ(ParseIntField("-2147483648", "蓝", IntegerRange), -2147483648LL);
    EXPECT_EQ(ParseIntField("", "红", WordRange), std::nullopt);
    EXPECT_EQ(ParseIntField("   ", "红", WordRange), std::nullopt);
    auto message = [](const std::string& text, IntFieldRange r, const char* label) {
        try {
            ParseIntField(text, label, r);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message("65536", WordRange, "红"),
              "65536 is not a valid value for field '红'. The allowed range is 0 to 65535");
    EXPECT_EQ(message("-1", WordRange, "绿"),
              "-1 is not a valid value for field '绿'. The allowed range is 0 to 65535");
    EXPECT_EQ(message("2147483648", IntegerRange, "蓝"),
              "2147483648 is not a valid value for field '蓝'. The allowed range is -2147483648 to "
              "2147483647");
    // Far beyond 64 bits: still a range message, never an overflow.
    EXPECT_NE(message("99999999999999999999999", WordRange, "红").find("is not a valid value"),
              std::string::npos);
    EXPECT_EQ(message("abc", WordRange, "红"), "'abc' is not a valid integer value for field '红'");
    EXPECT_EQ(message("1-2", WordRange, "红"), "'1-2' is not a valid integer value for field '红'");
    EXPECT_EQ(message("-", WordRange, "红"), "'-' is not a valid integer value for field '红'");
    EXPECT_TRUE(IsNumericCellChar(U'7') && IsNumericCellChar(U'-') && IsNumericCellChar(U'+'));
    EXPECT_FALSE(IsNumericCellChar(U'a') || IsNumericCellChar(U' ') || IsNumericCellChar(U'.'));
}

TEST(LibraryRules, CommentLineBreaksAreStoredAsCrLf) {
    EXPECT_EQ(WithCrLf("a\nb"), "a\r\nb");
    EXPECT_EQ(WithCrLf("a\r\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(StoredLength(U"a\nb"), 4);
    EXPECT_EQ(StoredLength(U"红色😀"), 3);
}

TEST(LibraryRules, LimitedTextKeepsWhatFitsOfAnInsertAndNeverShortensTheRest) {
    auto fit = [](const char32_t* before, const char32_t* after, int limit, bool crlf = false) {
        return FitEdit(before, after, limit, crlf);
    };
    // A paste in the middle keeps its first characters; the caret follows them.
    FittedEdit f = fit(U"abcd", U"abXYZcd", 5);
    EXPECT_EQ(f.text, U"abXcd");
    EXPECT_EQ(f.caret, 3u);
    // Characters outside the Basic Multilingual Plane are one character each.
    EXPECT_EQ(fit(U"", U"😀😀😀", 2).text, U"😀😀");
    // A replaced selection: what was taken out stays out.
    EXPECT_EQ(fit(U"abcd", U"aXYZd", 3).text, U"aXd");
    // A stored text already over the limit: untouched, shortened by hand, but
    // never lengthened.
    EXPECT_EQ(fit(U"abcdef", U"abcdef", 4).text, U"abcdef");
    EXPECT_EQ(fit(U"abcdef", U"abdef", 4).text, U"abdef");
    EXPECT_EQ(fit(U"abcdef", U"abcdefg", 4).text, U"abcdef");
    // Line breaks count as the pairs they are stored as.
    EXPECT_EQ(fit(U"abc", U"abc\n\n", 5, true).text, U"abc\n");
    EXPECT_EQ(fit(U"abc\r", U"abc\r\nxy", 6, true).text, U"abc\r\nx");
}

TEST(MessageBoxLayout, PlacesLabelIconAndButtonsAsTheSkinDoes) {
    // One OK button under a short label.
    MessageLayout m = LayoutMessageBox(108, 13, mbOK, 25, 120, 1024);
    EXPECT_EQ(m.clientHeight, 25 + 13 + 50);
    EXPECT_EQ(m.clientWidth, 50 + 108 + 40);
    EXPECT_EQ(m.icon.left, 5);
    EXPECT_EQ(m.icon.top, 10); // 15 + 6 - 16 is below the minimum
    ASSERT_EQ(m.buttons.size(), 1u);
    EXPECT_EQ(m.buttons[0].left, (m.clientWidth - 70) / 2);
    EXPECT_EQ(m.buttons[0].top, m.clientHeight - 25 - 10);
    EXPECT_EQ(m.defaultBit, mbOK);
    EXPECT_EQ(m.cancelBit, mbOK);

    // OK and Cancel: a row of 150, buttons 80 apart, Cancel is Esc.
    m = LayoutMessageBox(10, 60, mbOK | mbCancel, 25, 120, 1024);
    EXPECT_EQ(m.clientWidth, 150 + 40);
    EXPECT_EQ(m.icon.top, 15 + 30 - 16);
    ASSERT_EQ(m.buttons.size(), 2u);
    EXPECT_EQ(m.buttons[1].left - m.buttons[0].left, 80);
    EXPECT_EQ(m.buttons[0].left, 20);
    EXPECT_EQ(m.defaultBit, mbOK);
    EXPECT_EQ(m.cancelBit, mbCancel);

    // Yes/No: Yes is the default, No the cancel button; set order is kept.
    m = LayoutMessageBox(10, 13, mbNo | mbYes, 25, 120, 1024);
    EXPECT_EQ(m.buttonBits, (std::vector<int>{mbYes, mbNo}));
    EXPECT_EQ(m.defaultBit, mbYes);
    EXPECT_EQ(m.cancelBit, mbNo);

    // Width limits: never narrower than the minimum, never wider than the area.
    EXPECT_EQ(LayoutMessageBox(0, 13, 0, 25, 120, 1024).clientWidth, 120);
    EXPECT_EQ(LayoutMessageBox(5000, 13, mbOK, 25, 120, 800).clientWidth, 800);
    EXPECT_EQ(LayoutMessageBox(10, 13, mbRetry | mbAbort, 25, 120, 800).defaultBit, mbRetry);
}

TEST(MessageBoxLayout, ButtonTableFollowsTheSetOrder) {
    const auto& t = MessageButtons();
    ASSERT_EQ(t.size(), 11u);
    for (size_t i = 0; i < t.size(); ++i)
        EXPECT_EQ(t[i].bit, 1 << i);
    EXPECT_STREQ(t[2].name, "OK");
    EXPECT_EQ(t[2].modalResult, 1);
    EXPECT_EQ(t[3].modalResult, 2);
    EXPECT_EQ(t[1].modalResult, 7);
    EXPECT_STREQ(MessageCaptionKey(mtInformation), "MSG_CAP_INFORMATION");
    EXPECT_STREQ(MessageCaptionKey(mtConfirmation), "MSG_CAP_CONFIRM");
    EXPECT_EQ(MessageCaptionKey(mtCustom), nullptr);
}
