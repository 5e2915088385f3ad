// The pick drag on the main window's swatch, against a synthetic desktop.
#include "app/mainRGB.h"
#include "colour/Swatch.h"
#include "history/DrawGrid.h"
#include "sampling/Magnifier.h"
#include "sampling/PickOverlay.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

using namespace tp;

namespace {

// A desktop of 640 x 480 with known areas: red left of x = 100, green from
// 100 to 199, blue from 200, and a grey 3 x 3 dot at (300, 200).
QImage colourDesktop() {
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, 100, 480, QColor(255, 0, 0));
    p.fillRect(100, 0, 100, 480, QColor(0, 255, 0));
    p.fillRect(200, 0, 440, 480, QColor(0, 0, 255));
    p.fillRect(299, 199, 3, 3, QColor(128, 128, 128));
    return img;
}

struct PickFixture : ::testing::Test {
    test::TestServices ts;
    std::unique_ptr<TfrmMain> w;

    void SetUp() override {
        ts.screen.desktop() = colourDesktop();
        w = std::make_unique<TfrmMain>(ts.services());
        w->show();
    }

    void mouse(QEvent::Type type, QPointF global, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons held = Qt::LeftButton) {
        ts.screen.cursor = global.toPoint();
        QMouseEvent e(type, QPointF(5, 5), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(ui().lblColor, &e);
    }
    void press(Qt::MouseButton b = Qt::LeftButton) {
        mouse(QEvent::MouseButtonPress, ts.screen.cursor, b, b);
    }
    void moveTo(int x, int y) { mouse(QEvent::MouseMove, QPointF(x, y), Qt::NoButton); }
    void release(Qt::MouseButton b = Qt::LeftButton) {
        mouse(QEvent::MouseButtonRelease, ts.screen.cursor, b, Qt::NoButton);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(ui().lblColor, &e);
    }
    // Picks the colour at (x, y) in one drag.
    void pick(int x, int y) {
        press();
        moveTo(x, y);
        release();
    }
    QRgb zoom(int x, int y) const { return test::MagnifierPicture(*w).pixel(x, y) & 0xFFFFFF; }
    test::MainParts ui() const { return test::MainParts(w.get()); }
    TRGB current() const { return w->CurrentColour(); }
    // The overlay of the pick in progress; none once it has gone.
    TPickOverlay* overlay() const {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w->findChild<TPickOverlay*>(QStringLiteral("PickOverlay"));
    }
};

} // namespace

TEST_F(PickFixture, DragSamplesEveryMoveIntoAllViewsAndTheMagnifier) {
    EXPECT_EQ(zoom(0, 0), 0xF6F7FBu); // the colour before the first sample
    press();
    EXPECT_EQ(QWidget::mouseGrabber(), ui().lblColor);

    moveTo(50, 40);
    EXPECT_EQ(current(), (TRGB{255, 0, 0}));
    EXPECT_EQ(ui().edtHC->text(), QStringLiteral("FF0000"));
    EXPECT_EQ(ui().lblColor->color(), (TRGB{255, 0, 0}));
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X:50 ,Y:40 "));

    // Over the seam between red and green: the magnifier shows 4 x 4 blocks
    // of both, the crosshair in the inverse of the sampled colour.
    moveTo(100, 240);
    EXPECT_EQ(current(), (TRGB{0, 255, 0}));
    EXPECT_EQ(zoom(0, 0), 0xFF0000u);   // screen (84, 228)
    EXPECT_EQ(zoom(63, 0), 0xFF0000u);  // screen (99, 228)
    EXPECT_EQ(zoom(64, 0), 0x00FF00u);  // screen (100, 228)
    EXPECT_EQ(zoom(65, 45), 0xFF00FFu); // vertical bar: inverse of green
    EXPECT_EQ(zoom(57, 49), 0xFF00FFu); // horizontal bar
    EXPECT_EQ(zoom(67, 51), 0x00FF00u); // the cursor block's uncovered pixel
    EXPECT_EQ(zoom(68, 52), 0x00FF00u);

    // Over grey 128: the crosshair is 127 and the dot shows as 3 x 4 pixels.
    moveTo(300, 200);
    EXPECT_EQ(current(), (TRGB{128, 128, 128}));
    EXPECT_EQ(zoom(65, 41), 0x7F7F7Fu);
    EXPECT_EQ(zoom(60, 44), 0x808080u);
    EXPECT_EQ(zoom(55, 44), 0x0000FFu);

    release();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(w->History().Slot(0), (TRGB{128, 128, 128}));
    EXPECT_EQ(w->History().HistoryPos(), 1);
    // The position text and the magnifier keep the last sample.
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X:300 ,Y:200 "));
    EXPECT_EQ(zoom(60, 44), 0x808080u);

    // Moving over the swatch without a press does nothing.
    moveTo(10, 10);
    EXPECT_EQ(current(), (TRGB{128, 128, 128}));
}

TEST_F(PickFixture, PressAndReleaseWithoutMovePushesThePickedColourAsItIs) {
    const QString before = ui().lblMousePos->text();
    press();
    release();
    // PickedColor starts black; the push moves nothing (slot 0 is current).
    EXPECT_EQ(w->History().Slot(0), (TRGB{0, 0, 0}));
    EXPECT_EQ(ui().lblMousePos->text(), before);
    EXPECT_EQ(zoom(10, 10), 0xF6F7FBu);
    EXPECT_EQ(current(), (TRGB{255, 255, 255}));
}

TEST_F(PickFixture, PixelOffEveryMonitorReadsWhiteAndComparesEqualToWhite) {
    press();
    moveTo(700, 10); // right of the 640-pixel desktop
    EXPECT_EQ(current(), (TRGB{255, 255, 255}));
    release();
    // The pick is white, and slot 0, the slot written last, is white
    // already: nothing is pushed.
    EXPECT_EQ(w->History().HistoryPos(), 0);
    // The magnifier shows the off-screen part black.
    EXPECT_EQ(zoom(127, 0), 0x000000u);
}

TEST_F(PickFixture, SecondButtonDuringDragKeepsOneGrabAndOneScreen) {
    // A reader that takes a picture of the screen at the press shows how
    // many screens a drag holds.
    ts.screen.frozen = true;
    press(Qt::LeftButton);
    moveTo(150, 10);
    mouse(QEvent::MouseButtonPress, QPointF(150, 10), Qt::RightButton,
          Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(ts.screen.freezes, 1) << "the screen held is used again";
    EXPECT_EQ(QWidget::mouseGrabber(), ui().lblColor);
    moveTo(250, 10);
    EXPECT_EQ(current(), (TRGB{0, 0, 255}));
    release(Qt::RightButton);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    // The other button's release pushes the same colour again: nothing new.
    release(Qt::LeftButton);
    EXPECT_EQ(w->History().HistoryPos(), 1);
    EXPECT_EQ(w->History().Slot(0), (TRGB{0, 0, 255}));
    // The screen was let go: the next drag takes a picture of its own.
    press();
    EXPECT_EQ(ts.screen.freezes, 2);
    release();
}

TEST_F(PickFixture, ArrowKeysNudgeTheCursorByOneOrTenPixelsWhileDragging) {
    press();
    moveTo(95, 50);
    key(Qt::Key_Right);
    EXPECT_EQ(ts.screen.cursor, QPoint(96, 50));
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X:96 ,Y:50 "));
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(ts.screen.cursor, QPoint(106, 50));
    EXPECT_EQ(current(), (TRGB{0, 255, 0}));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Up);
    key(Qt::Key_Left);
    EXPECT_EQ(ts.screen.cursor, QPoint(105, 59));
    release();
    EXPECT_EQ(w->History().Slot(0), (TRGB{0, 255, 0}));
    // Without a drag the keys do not move the cursor.
    key(Qt::Key_Right);
    EXPECT_EQ(ts.screen.cursor, QPoint(105, 59));
}

TEST_F(PickFixture, UnreadableScreenIsSaidPlainlyInsteadOfSamplingBlack) {
    ts.screen.reason = QStringLiteral("no screen here");
    press();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "no drag";
    EXPECT_EQ(ts.errors.plainMessages, QStringList{QStringLiteral("no screen here")});
    moveTo(50, 50);
    EXPECT_EQ(current(), (TRGB{255, 255, 255}));
    EXPECT_EQ(zoom(10, 10), 0xF6F7FBu);
}

TEST_F(PickFixture, PushWritingSlotEightMovesTheSelectionAndWritesTheCodeOnce) {
    // Eight picks of distinct colours fill the first row.
    for (int i = 0; i < 8; ++i) {
        ts.screen.desktop().setPixel(400 + i, 400, qRgb(10 * i, 1, 2));
        pick(400 + i, 400);
    }
    ASSERT_EQ(w->History().HistoryLast(), 7);
    EXPECT_EQ(ui().sdgHistory->Col(), 7);
    std::vector<QString> seen;
    QObject::connect(ui().edtHC, &QLineEdit::textChanged,
                     [&](const QString& t) { seen.push_back(t); });
    ts.screen.desktop().setPixel(420, 400, qRgb(0xAB, 0xCD, 0xEF));
    pick(420, 400);
    // The move sets ABCDEF; the push moves column and row at once and
    // writes nothing the move had not written.
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("ABCDEF")}));
    EXPECT_EQ(ui().sdgHistory->Col(), 0);
    EXPECT_EQ(ui().sdgHistory->Row(), 1);
    EXPECT_EQ(current(), (TRGB{0xAB, 0xCD, 0xEF}));
}

namespace {
void keyTo(QWidget* target, int k, const QString& text = {},
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(target, &e);
}
void mouseTo(QWidget* target, QEvent::Type type, QPointF local, Qt::MouseButton b = Qt::NoButton) {
    QMouseEvent e(type, local, target->mapToGlobal(local), b,
                  type == QEvent::MouseMove ? Qt::NoButton : b, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
} // namespace

TEST_F(PickFixture, EscCancelsADragRestoringTheColourAndTheReleasePushesNothing) {
    pick(50, 40); // red, pushed into slot 0
    press();
    moveTo(150, 10);
    ASSERT_EQ(current(), (TRGB{0, 255, 0}));
    keyTo(ui().lblColor, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(current(), (TRGB{255, 0, 0}));
    EXPECT_EQ(ui().edtHC->text(), QStringLiteral("FF0000"));
    release();
    EXPECT_EQ(w->History().HistoryPos(), 1);
    // The pick is red again: a press and release without a move pushes it,
    // and red is what slot 0 holds.
    press();
    release();
    EXPECT_EQ(w->History().HistoryPos(), 1);
    // The next drag is an ordinary one again.
    pick(250, 10);
    EXPECT_EQ(w->History().Slot(1), (TRGB{0, 0, 255}));
}

TEST_F(PickFixture, OverlayPickFollowsPicksNudgesAndCancels) {
    ts.screen.overlay = true;
    press();
    release(); // a click on the swatch
    ASSERT_TRUE(overlay());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(w->History().HistoryPos(), 0) << "the click itself pushes nothing";
    QWidget* win = overlay()->Windows().at(0);
    mouseTo(win, QEvent::MouseMove, QPointF(150.5, 20));
    EXPECT_EQ(current(), (TRGB{0, 255, 0}));
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X:150 ,Y:20 "));
    EXPECT_FALSE(overlay()->LoupeRect(0).isEmpty());
    keyTo(win, Qt::Key_Right, {}, Qt::ShiftModifier);
    keyTo(win, Qt::Key_Left);
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X:159 ,Y:20 "));
    mouseTo(win, QEvent::MouseButtonPress, QPointF(250, 30), Qt::LeftButton);
    EXPECT_EQ(w->History().Slot(0), (TRGB{0, 0, 255}));
    EXPECT_EQ(w->History().HistoryPos(), 1);
    QApplication::processEvents();
    EXPECT_EQ(overlay(), nullptr);

    // Esc and the right button each cancel: the colour from before comes
    // back and nothing is pushed.
    for (bool byKey : {true, false}) {
        press();
        release();
        ASSERT_TRUE(overlay());
        win = overlay()->Windows().at(0);
        mouseTo(win, QEvent::MouseMove, QPointF(50, 40));
        ASSERT_EQ(current(), (TRGB{255, 0, 0}));
        if (byKey)
            keyTo(win, Qt::Key_Escape, QStringLiteral("\x1b"));
        else
            mouseTo(win, QEvent::MouseButtonPress, QPointF(50, 40), Qt::RightButton);
        EXPECT_EQ(current(), (TRGB{0, 0, 255})) << byKey;
        EXPECT_EQ(w->History().HistoryPos(), 1) << byKey;
        QApplication::processEvents();
        EXPECT_EQ(overlay(), nullptr);
        // The pick is blue again, as slot 0 holds: a drag's press and
        // release without a move pushes nothing.
        ts.screen.overlay = false;
        press();
        release();
        EXPECT_EQ(w->History().HistoryPos(), 1) << byKey;
        ts.screen.overlay = true;
    }
}

TEST_F(PickFixture, FrozenReaderFreezesAtThePressAndSaysWhyWhenItCannot) {
    ts.screen.frozen = true;
    pick(50, 40);
    EXPECT_EQ(ts.screen.freezes, 1);
    EXPECT_EQ(w->History().Slot(0), (TRGB{255, 0, 0}));

    ts.screen.freezeError = QStringLiteral("portal says no");
    press();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "no drag";
    EXPECT_EQ(ts.errors.plainMessages, QStringList{QStringLiteral("portal says no")});
    release();
    EXPECT_EQ(w->History().HistoryPos(), 1) << "a failed press pushes nothing";

    // A desktop that offers only its own colour picker: its colour is taken
    // and pushed as a pick.
    ts.screen.colourPickerAnswer = qRgb(1, 2, 3);
    press();
    release();
    EXPECT_EQ(current(), (TRGB{1, 2, 3}));
    EXPECT_EQ(w->History().Slot(1), (TRGB{1, 2, 3}));
    EXPECT_EQ(w->History().HistoryPos(), 2);
}

TEST_F(PickFixture, AColourFromElsewhereClearsTheMagnifierOfTheLastDrag) {
    pick(50, 40);
    ASSERT_EQ(zoom(10, 10), 0xFF0000u);
    // `tintpick --pick` in another process, or the desktop's own picker:
    // the magnifier and the position knew nothing of where it came from.
    w->TakeColour({1, 2, 3});
    EXPECT_EQ(current(), (TRGB{1, 2, 3}));
    EXPECT_EQ(w->History().Slot(1), (TRGB{1, 2, 3}));
    const QImage shown = test::MagnifierPicture(*w);
    QImage fresh(shown.size(), shown.format());
    fresh.fill(QColor(0xF6, 0xF7, 0xFB));
    EXPECT_EQ(shown, fresh);
    EXPECT_EQ(ui().lblMousePos->text(), QStringLiteral("X：0 , Y：0"));
}

TEST(PickOverlay, ScaledMonitorMapsThePointerAndNudgesStayOnThePicture) {
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(Qt::black);
    img.setPixel(21, 6, qRgb(9, 8, 7));
    img.setPixel(0, 6, qRgb(1, 2, 3));
    // A 320 x 240 logical monitor at scale 2, right of the picture's origin.
    TPickOverlay o(
        DesktopFrame{img, QPoint(100, 0), {Monitor{{100, 0, 320, 240}, 2.0, {100, 0, 640, 480}}}});
    o.PointerAt(0, QPointF(10.5, 3.25));
    EXPECT_EQ(o.Sampled(), QPoint(121, 6));
    EXPECT_EQ(o.SampledColour(), (TRGB{9, 8, 7}));
    o.Nudge(-100, 0);
    EXPECT_EQ(o.Sampled(), QPoint(100, 6));
    // The pick hands over the pixel and the colour it picked.
    std::optional<std::pair<QPoint, TRGB>> got;
    QObject::connect(&o, &TPickOverlay::picked, [&](QPoint p, TRGB c) { got = {p, c}; });
    o.Pick();
    ASSERT_TRUE(got);
    EXPECT_EQ(got->first, QPoint(100, 6));
    EXPECT_EQ(got->second, (TRGB{1, 2, 3}));
}
