// The contrast band on its own: a second colour typed, pasted or swapped in,
// its code shown, and the three colour-vision previews with their marks.
#include "colour/CodeEdit.h"
#include "colour/ContrastPanel.h"
#include "support/TestServices.h"
#include "support/X11Keys.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tp {
namespace {

struct ContrastPanelTest : ::testing::Test {
    test::TestServices fakes;
    TContrastPanel panel{fakes.services()};
    TCodeEdit* second = panel.findChild<TCodeEdit*>(QStringLiteral("edtSecond"));
    QLabel* ratio = panel.findChild<QLabel*>(QStringLiteral("lblRatio"));

    QWidget* preview(int i) const {
        return panel.findChild<QWidget*>(QStringLiteral("visionPreview%1").arg(i));
    }
};

TEST_F(ContrastPanelTest, SecondColourTypedOrPastedInAnyFormAndShownAsItsCode) {
    ASSERT_NE(second, nullptr);
    panel.SetColor({0x77, 0x77, 0x77});
    EXPECT_EQ(second->text(), "000000"); // black by itself, and said
    EXPECT_EQ(ratio->text(), "4.69:1");

    second->setFocus();
    second->selectAll();
    QTest::keyClicks(second, "ffff"); // not a colour yet: nothing changes
    EXPECT_EQ(panel.Second(), (TRGB{0, 0, 0}));
    QTest::keyClicks(second, "ff");
    EXPECT_EQ(panel.Second(), (TRGB{255, 255, 255}));
    EXPECT_EQ(second->text(), "ffffff"); // kept as typed
    EXPECT_EQ(ratio->text(), "4.48:1");

    fakes.clipboard.setText(QStringLiteral("color: rgb(0 0 128);"));
    second->selectAll();
    test::KeyClick(second, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(panel.Second(), (TRGB{0, 0, 0x80}));
    EXPECT_EQ(second->text(), "000080");
    EXPECT_EQ(ratio->text(), "3.58:1");
    EXPECT_EQ(panel.ChosenSecond(), (TRGB{0, 0, 0x80}));

    // A paste that is no opaque colour is refused and changes nothing.
    fakes.clipboard.setText(QStringLiteral("#FFFFFF80"));
    test::KeyClick(second, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(panel.Second(), (TRGB{0, 0, 0x80}));
    ASSERT_EQ(fakes.errors.messages.size(), 1);
    EXPECT_TRUE(fakes.errors.messages[0].contains(QStringLiteral("不透明")));

    // A cell clicked after that is the second colour, and its code shows.
    QTest::mouseClick(panel.cells(), Qt::LeftButton, {}, panel.CellRect(1).center());
    EXPECT_EQ(second->text(), "FFFFFF");
}

TEST_F(ContrastPanelTest, SwapExchangesTheTwoColours) {
    // The owner takes the colour the swap hands it, as the dialog does.
    QObject::connect(&panel, &TContrastPanel::workingColorChosen, &panel,
                     [&](TRGB c) { panel.SetColor(c); });
    panel.SetColor({0x77, 0x77, 0x77});
    panel.SetSecond({0xFF, 0xFF, 0xFF});
    auto* swap = panel.findChild<QToolButton*>(QStringLiteral("btnSwap"));
    ASSERT_NE(swap, nullptr);
    swap->click();
    EXPECT_EQ(panel.Second(), (TRGB{0x77, 0x77, 0x77}));
    EXPECT_EQ(second->text(), "777777");
    EXPECT_EQ(ratio->text(), "4.48:1");
    // Black or white taken by itself swaps as the colour it was.
    panel.ChooseSecond(TContrastPanel::AutoCell);
    panel.SetColor({0x10, 0x10, 0x10});
    swap->click();
    EXPECT_EQ(panel.Second(), (TRGB{0x10, 0x10, 0x10}));
    EXPECT_EQ(panel.ChosenSecond(), (TRGB{0x10, 0x10, 0x10}));
}

TEST_F(ContrastPanelTest, PreviewsMarkAPairThatFallsBelowTheLevelThePairPasses) {
    // Red on black passes AA (5.25:1); a protanope sees 6D5F00 on black,
    // 3.29:1, below AA; the two others still pass it.
    panel.SetColor({255, 0, 0});
    panel.SetSecond({0, 0, 0});
    EXPECT_EQ(ratio->text(), "5.25:1");
    const char* ratios[] = {"3.29:1", "6.55:1", "5.26:1"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(preview(i), nullptr) << i;
        EXPECT_EQ(preview(i)->property("ratio").toString(), ratios[i]) << i;
        EXPECT_EQ(preview(i)->property("below").toBool(), i == 0) << i;
    }
    EXPECT_TRUE(preview(0)->toolTip().contains(QStringLiteral("红色盲")));
    EXPECT_TRUE(preview(0)->toolTip().contains(QStringLiteral("AA")));
    // A grey pair looks the same to everyone: nothing falls below.
    panel.SetColor({0x77, 0x77, 0x77});
    panel.SetSecond({255, 255, 255});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(preview(i)->property("ratio").toString(), "4.48:1") << i;
        EXPECT_FALSE(preview(i)->property("below").toBool()) << i;
    }
}

} // namespace
} // namespace tp
