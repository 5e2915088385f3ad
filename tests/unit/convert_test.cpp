#include "base/Convert.h"

#include <gtest/gtest.h>

using tp::StrToInt;
using tp::TryStrToInt;

TEST(StrToInt, DecimalAndHexadecimalForms) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("255"), 255);
    EXPECT_EQ(StrToInt("-5"), -5);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("0x1A"), 26);
    EXPECT_EQ(StrToInt("0xff"), 255);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("0xFFFFFFFF"), -1); // hexadecimal wraps into the signed range
}

TEST(StrToInt, RejectsWithTheUsersMessage) {
    for (const char* bad : {"", "-", "0x", "0xZZ", "0xG1", "12a", "2147483648", "99999999999",
                            "0x 5", "0x-1", "1 2"}) {
        int32_t v = 42;
        EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
        EXPECT_EQ(v, 42) << bad;
    }
    try {
        StrToInt("0xZZ");
        FAIL() << "no exception";
    } catch (const tp::Error& e) {
        EXPECT_STREQ(e.what(), "'0xZZ' is not a valid integer value");
    }
}
