#include "colour/TrackEdit.h"
#include "support/TestServices.h"
#include "support/X11Keys.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace tp;

namespace {

class TrackEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 200);
        edit = new TbsSkinTrackEdit(fakes.services(), &window);
        edit->SetMinValue(0);
        edit->SetMaxValue(255);
        edit->SetTrackBarWidth(128);
        edit->setGeometry(16, 23, 49, 20);
        other = new QLineEdit(&window);
        other->setGeometry(100, 100, 50, 20);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        edit->selectAll();
        spy = std::make_unique<QSignalSpy>(edit, &TbsSkinTrackEdit::changed);
    }
    void type(const QString& s) { QTest::keyClicks(edit, s); }

    test::TestServices fakes;
    QWidget window;
    TbsSkinTrackEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(TrackEditTest, TypingAboveTheRangeIsReplacedAtOnce) {
    type("3");
    EXPECT_EQ(edit->Value(), 3);
    EXPECT_EQ(spy->count(), 1);
    type("0");
    EXPECT_EQ(edit->Value(), 30);
    EXPECT_EQ(spy->count(), 2);
    type("0");
    EXPECT_EQ(edit->Value(), 255);
    EXPECT_EQ(edit->text(), "255");
    EXPECT_EQ(spy->count(), 3); // one event for the last keystroke, none for the correction
}

TEST_F(TrackEditTest, NegativeNumberKeepsItsTextUntilFocusLeaves) {
    edit->SetValue(40);
    edit->selectAll();
    spy->clear();
    type("-5");
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(edit->text(), "-5");
    EXPECT_EQ(spy->count(), 2); // "-" (invalid, still raised) and "-5"
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), "0");
    EXPECT_EQ(spy->count(), 3);
}

TEST_F(TrackEditTest, LeavingTidiesTextAndRestoresEmptyEdit) {
    edit->SetValue(7);
    edit->setText("007");
    EXPECT_EQ(edit->Value(), 7);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), "7");
    edit->setFocus();
    edit->selectAll();
    test::KeyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(edit->Value(), 7); // an empty edit keeps its value
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), "7");
}

TEST_F(TrackEditTest, RefusedCharactersBeepAndChangeNothing) {
    edit->SetValue(12);
    edit->end(false);
    spy->clear();
    for (const char* s : {"a", "#", " ", "+"})
        type(s);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(fakes.beeper.count, 5);
    EXPECT_EQ(edit->text(), "12");
    EXPECT_EQ(spy->count(), 0);
    edit->selectAll();
    type("-");
    type("-"); // a second minus
    EXPECT_EQ(edit->text(), "-");
    EXPECT_EQ(fakes.beeper.count, 6);
}

TEST_F(TrackEditTest, SetValueRaisesOnlyWhenTheTextChanges) {
    edit->SetValue(300);
    EXPECT_EQ(edit->Value(), 255);
    EXPECT_EQ(edit->text(), "255");
    EXPECT_EQ(spy->count(), 1);
    edit->SetValue(255);
    EXPECT_EQ(spy->count(), 0 + 1);
}

TEST_F(TrackEditTest, ArrowKeysAndWheelStepWithinTheRange) {
    edit->SetValue(255);
    spy->clear();
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->Value(), 255);
    EXPECT_EQ(spy->count(), 0);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 254);
    edit->SetValue(0);
    spy->clear();
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->Value(), 0);
    EXPECT_EQ(spy->count(), 0);

    edit->SetValue(100);
    auto wheel = [&](int dy) {
        QWheelEvent e(QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit, &e);
    };
    wheel(120); // away from the user
    EXPECT_EQ(edit->Value(), 99);
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(edit->Value(), 101);
}

TEST_F(TrackEditTest, ElevenDigitsReportTheConversionErrorAndKeepTheValue) {
    edit->SetValue(42);
    spy->clear();
    // Typing cannot get there (255 replaces the text at once); pasting can.
    edit->setText("99999999999");
    EXPECT_EQ(edit->Value(), 42);
    EXPECT_EQ(spy->count(), 0);
    ASSERT_EQ(fakes.errors.messages.size(), 1);
    EXPECT_EQ(fakes.errors.messages.last(), "'99999999999' is not a valid integer value");
    EXPECT_EQ(edit->text(), "99999999999"); // stays until focus leaves
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit->text(), "42");
}

TEST_F(TrackEditTest, PopupFollowsArrowKeysButNotTyping) {
    edit->SetValue(100);
    edit->dropButton()->click();
    ASSERT_TRUE(edit->popupShown());
    EXPECT_EQ(edit->popup()->Value(), 100);
    EXPECT_EQ(edit->popup()->width(), 128);
    EXPECT_EQ(edit->popup()->pos(), edit->mapToGlobal(QPoint(0, edit->height())));
    edit->selectAll();
    type("50");
    EXPECT_EQ(edit->Value(), 50);
    EXPECT_EQ(edit->popup()->Value(), 100); // typing does not move the thumb
    QTest::keyClick(edit, Qt::Key_Up);      // steps from the popup's value
    EXPECT_EQ(edit->popup()->Value(), 101);
    EXPECT_EQ(edit->Value(), 101);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->popupShown());
}

TEST_F(TrackEditTest, DraggingThePopupThumbSetsTheValue) {
    edit->SetValue(0);
    edit->dropButton()->click();
    TbsSkinPopupTrackBar* popup = edit->popup();
    const QRect thumb = popup->thumbRect();
    const QPoint start = thumb.center();
    QTest::mousePress(popup, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(58, 0)),
                     popup->mapToGlobal(QPointF(start + QPoint(58, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, start + QPoint(58, 0));
    EXPECT_EQ(popup->Value(), 128); // 58 of 116 pixels: 127.5, rounded to even
    EXPECT_EQ(edit->Value(), 128);
    EXPECT_EQ(edit->text(), "128");
    // Without JumpWhenClick a click on the bare track does nothing.
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(120, 10));
    EXPECT_EQ(popup->Value(), 128);
    popup->SetJumpWhenClick(true);
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(2 + 4, 10));
    EXPECT_EQ(popup->Value(), 0);
}

TEST_F(TrackEditTest, ClickElsewhereInTheWindowHidesThePopup) {
    edit->dropButton()->click();
    ASSERT_TRUE(edit->popupShown());
    QTest::mouseClick(edit->popup(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(edit->popupShown()); // a click on the popup keeps it
    EXPECT_TRUE(edit->hasFocus());
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_FALSE(edit->popupShown());
}

TEST_F(TrackEditTest, PopupTakenAwayMidDragForgetsTheDrag) {
    edit->SetValue(29);
    edit->dropButton()->click();
    TbsSkinPopupTrackBar* popup = edit->popup();
    const QPoint start = popup->thumbRect().center();
    QTest::mousePress(popup, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(30, 0)),
                     popup->mapToGlobal(QPointF(start + QPoint(30, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(popup, &move);
    const int dragged = edit->Value();
    ASSERT_NE(dragged, 29);
    test::KeyClick(edit, Qt::Key_Escape); // the release never reaches the popup
    ASSERT_FALSE(edit->popupShown());

    edit->dropButton()->click();
    const QPoint bare(popup->width() - 4, popup->height() / 2);
    ASSERT_FALSE(popup->thumbRect().contains(bare));
    QTest::mousePress(popup, Qt::LeftButton, {}, bare);
    QMouseEvent nudge(QEvent::MouseMove, QPointF(bare - QPoint(1, 0)),
                      popup->mapToGlobal(QPointF(bare - QPoint(1, 0))), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(popup, &nudge);
    QTest::mouseRelease(popup, Qt::LeftButton, {}, bare - QPoint(1, 0));
    EXPECT_EQ(edit->Value(), dragged) << "a press on the bare track is no drag";
}

TEST_F(TrackEditTest, WheelOverAnyEditOrItsPopupStepsThatEdit) {
    auto wheel = [](QWidget* w, int dy) {
        QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, dy),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    };
    edit->SetValue(100);
    other->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(edit->hasFocus());
    wheel(edit, -120); // towards the user, over the edit without the focus
    EXPECT_EQ(edit->Value(), 101);

    edit->dropButton()->click();
    ASSERT_TRUE(edit->popupShown());
    wheel(edit->popup(), 120);
    wheel(edit->popup(), 120);
    EXPECT_EQ(edit->popup()->Value(), 99);
    EXPECT_EQ(edit->Value(), 99);
}

} // namespace
