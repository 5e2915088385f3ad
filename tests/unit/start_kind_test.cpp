// Whether a start joins the running instance.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tp;

TEST(StartKind, OnlyAPlainStartIsHandedOverAndOneShotWorkNeverIs) {
    using Args = std::vector<std::string>;
    const auto kind = [](const Args& args) { return StartKindOf(ParseCommandLine(args)); };
    EXPECT_EQ(kind({}), StartKind::Join);
    EXPECT_EQ(kind({"--new-instance"}), StartKind::Separate);
    EXPECT_EQ(kind({"--new-instance", "--pick"}), StartKind::OneShot);
    EXPECT_EQ(kind({"--pick"}), StartKind::OneShot);
    EXPECT_EQ(kind({"--new-instance", "--import-library", "a.gpl"}), StartKind::OneShot);
    EXPECT_EQ(kind({"--export-library=a.css"}), StartKind::OneShot);
}
