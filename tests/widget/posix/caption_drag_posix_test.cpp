// Dragging the main window by its caption bar where the window system moves
// nothing itself (the tests' offscreen platform): the form moves the window.
#include "app/mainRGB.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace tp;

TEST(CaptionDrag, MovesTheWindowWithThePointer) {
    test::TestServices fakes;
    TfrmMain main(fakes.services());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QWidget* caption = test::MainParts(&main).bsfMain->captionBar();
    const QPoint grip(150, 10);
    QTest::mousePress(caption, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(40, 30)),
                     caption->mapToGlobal(QPointF(grip + QPoint(40, 30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(caption, &move);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, grip + QPoint(40, 30));
    EXPECT_EQ(main.pos(), QPoint(40, 30));
}
