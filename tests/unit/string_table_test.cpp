#include "skin/StringTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using tp::StringTable;

TEST(StringTable, ParsesKeyValueLines) {
    const StringTable t =
        StringTable::parse("; comment\r\nMSG_BTN_OK=确定\r\n\r\nA=x=y\nnoequals\n=v\nLAST=end");
    EXPECT_EQ(t.value("MSG_BTN_OK"), "确定");
    EXPECT_EQ(t.value("A"), "x=y"); // only the first '=' separates
    EXPECT_EQ(t.value("LAST"), "end");
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(t.value("MISSING"), ""); // a missing key gives an empty caption
}

TEST(StringTable, MissingTableFallsBackToBuiltInText) {
    const StringTable t = StringTable::parse("COLORGRID_CAP=基本颜色");
    EXPECT_EQ(tp::SkinCaption(&t, "COLORGRID_CAP", "Basic colors"), "基本颜色");
    EXPECT_EQ(tp::SkinCaption(&t, "CUSTOMCOLORGRID_CAP", "Custom colors"), "");
    EXPECT_EQ(tp::SkinCaption(nullptr, "CUSTOMCOLORGRID_CAP", "Custom colors"), "Custom colors");
}

TEST(StringTable, ShippedTableHoldsEveryCaptionTheWindowsUse) {
    std::ifstream in(TINTPICK_FIXTURES "/../../resources/strings.txt");
    ASSERT_TRUE(in) << "resources/strings.txt not found";
    std::stringstream ss;
    ss << in.rdbuf();
    const StringTable t = StringTable::parse(ss.str());
    const std::pair<const char*, const char*> expected[] = {
        {"MI_MINCAPTION", "最小化(&N)"},
        {"MI_CLOSECAPTION", "关闭(&C)"},
        {"MINBUTTON_HINT", "最小化"},
        {"CLOSEBUTTON_HINT", "关闭"},
        {"MENUBUTTON_HINT", "系统菜单"},
        {"MSG_CAP_WARNING", "警告"},
        {"MSG_CAP_ERROR", "错误"},
        {"MSG_CAP_INFORMATION", "提示"},
        {"MSG_CAP_CONFIRM", "确认"},
        {"MSG_BTN_YES", "是(&Y)"},
        {"MSG_BTN_NO", "否(&N)"},
        {"MSG_BTN_OK", "确定"},
        {"MSG_BTN_CANCEL", "取消"},
        {"MSG_BTN_YESTOALL", "全都是(&Y)"},
        {"MSG_BTN_HELP", "帮助(&H)"},
        {"COLORGRID_CAP", "基本颜色"},
        {"CUSTOMCOLORGRID_CAP", "自定义颜色"},
        {"ADDCUSTOMCOLORBUTTON_CAP", "添加到自定义颜色"},
        {"DB_DELETE_QUESTION", "要删除这条记录吗?"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(t.value(key), value) << key;
}
