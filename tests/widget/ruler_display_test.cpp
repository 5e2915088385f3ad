// The measuring window driven offscreen over a fake screen: mouse events go
// through the window as the platform would deliver them, so the panel's
// share of the window and the implicit grab of a drag take part.
#include "platform/ScreenSource.h"
#include "sampling/Display.h"
#include "skin/Controls.h"
#include "skin/ExPanel.h"
#include "support/Child.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <QtTest/qtestmouse.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace tp;

namespace {

QImage PatternDesktop(QSize size, int seed) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 5 + seed) & 0xFF, (x + y) & 0xFF));
    return img;
}

std::set<std::pair<int, int>> LinePixels(PixPoint a, PixPoint b) {
    std::set<std::pair<int, int>> s;
    ForEachLinePixel(a, b, [&](int x, int y) { s.insert({x, y}); });
    return s;
}

// Pixels where what the window shows differs from the frozen picture.
std::set<std::pair<int, int>> Differences(const QImage& a, const QImage& b) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < a.height(); ++y) {
        auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (ra[x] != rb[x]) s.insert({x, y});
    }
    return s;
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class RulerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        screenSize = QGuiApplication::primaryScreen()->geometry().size();
        screen = std::make_unique<FakeScreenSource>(PatternDesktop(screenSize, 0));
        services = ts.services();
        services.screen = screen.get();
        main = std::make_unique<QWidget>();
        main->show();
        frmDisplay = new TfrmDisplay(services);
        frmDisplay->SetCaptureDelay(0);
    }
    void TearDown() override {
        delete frmDisplay;
        FlushDeletes();
    }

    TfrmDisplay* Open() {
        TfrmDisplay::Open(services, main.get());
        return frmDisplay;
    }

    // Through the platform's own entry, as a mouse would: Qt then makes its
    // implicit grab and turns a quick second press into a double click.
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        ASSERT_TRUE(frmDisplay && frmDisplay->windowHandle());
        if (type == QEvent::MouseButtonPress)
            held |= button;
        else if (type == QEvent::MouseButtonRelease)
            held &= ~Qt::MouseButtons(button);
        const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : button;
        timestamp += 16;
        qt_handleMouseEvent(frmDisplay->windowHandle(), QPointF(pos),
                            QPointF(frmDisplay->mapToGlobal(pos)), held, b, type, Qt::NoModifier,
                            timestamp);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonPress, p, b);
    }
    void Move(QPoint p) { Mouse(QEvent::MouseMove, p); }
    // A release followed by a press at once would make a double click; plain
    // clicks are spaced well apart.
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton, bool thenPause = true) {
        Mouse(QEvent::MouseButtonRelease, p, b);
        if (thenPause) timestamp += 2000;
    }

    void ExpectLabels(const char* cur, const char* start, const char* end, const char* result) {
        EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblCurPos")->text(), QString::fromUtf8(cur));
        EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblStartPos")->text(), QString::fromUtf8(start));
        EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblEndPos")->text(), QString::fromUtf8(end));
        EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblResult")->text(), QString::fromUtf8(result));
    }
    // Only the given line is inverted into the window, never into the picture.
    void ExpectOnlyLine(PixPoint a, PixPoint b) {
        EXPECT_EQ(frmDisplay->Snapshot(), screen->desktop());
        EXPECT_EQ(Differences(frmDisplay->Shown(), frmDisplay->Snapshot()), LinePixels(a, b));
    }

    test::TestServices ts;
    std::unique_ptr<FakeScreenSource> screen;
    Services services;
    std::unique_ptr<QWidget> main; // stands for the main window the ruler hides
    QSize screenSize;
    Qt::MouseButtons held;
    int timestamp = 100000;
};

} // namespace

TEST_F(RulerWindow, OpeningHidesTheMainWindowAndFreezesThePrimaryScreen) {
    TfrmDisplay* d = Open();
    ASSERT_TRUE(d);
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->SnapshotReady());
    EXPECT_EQ(d->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(d->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(
        test::Child<QLabel>(d, "lblScreen")->text(),
        QStringLiteral("当前屏幕分辨率：%1 × %2").arg(screenSize.width()).arg(screenSize.height()));
    EXPECT_EQ(test::Child<TbsSkinExPanel>(d, "sepRuler")->geometry(), QRect(0, 0, 252, 158));
    EXPECT_EQ(test::Child<TbsSkinExPanel>(d, "sepRuler")->captionLabel()->text(),
              QStringLiteral("测距"));
    EXPECT_EQ(test::Child<TbsSkinButton>(d, "bsSkinButton1")->text(), QStringLiteral("结束"));
    ExpectLabels("(0,0)", "(0,0)", "(0,0)", "0");
    EXPECT_FALSE(d->MagnifierVisible());

    // The picture is frozen: the live screen changing later does not reach it.
    const QImage taken = d->Snapshot();
    EXPECT_EQ(taken, screen->desktop());
    screen->desktop().fill(Qt::red);
    Move({300, 300});
    EXPECT_EQ(d->Snapshot(), taken);
    EXPECT_EQ(d->Shown(), taken);
    // The window paints the frozen picture, pixel for pixel, outside the panel.
    const QImage painted = d->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted.pixel(400, 300), taken.pixel(400, 300));
    EXPECT_EQ(painted.pixel(screenSize.width() - 1, screenSize.height() - 1),
              taken.pixel(screenSize.width() - 1, screenSize.height() - 1));
}

TEST_F(RulerWindow, LabelsFollowPressDragAndRelease) {
    Open();
    Move({300, 200});
    ExpectLabels("(300,200)", "(0,0)", "(0,0)", "0"); // before any press
    EXPECT_EQ(Differences(frmDisplay->Shown(), frmDisplay->Snapshot()).size(), 0u);

    Press({310, 210}); // the mouse moves there first, then presses
    EXPECT_TRUE(frmDisplay->Dragging());
    ExpectLabels("(310,210)", "(0,0)", "(0,0)", "0"); // nothing more until the next move
    Move({313, 214});
    ExpectLabels("(313,214)", "(310,210)", "(313,214)", "6");
    ExpectOnlyLine({310, 210}, {313, 214});
    Move({320, 210});
    ExpectLabels("(320,210)", "(310,210)", "(320,210)", "11");
    ExpectOnlyLine({310, 210}, {320, 210});
    Move({311, 210});
    ExpectLabels("(311,210)", "(310,210)", "(311,210)", "2");
    Move({310, 210});
    ExpectLabels("(310,210)", "(310,210)", "(310,210)", "0");
    EXPECT_EQ(Differences(frmDisplay->Shown(), frmDisplay->Snapshot()).size(), 0u);
    Move({400, 300});
    Release({400, 300});
    EXPECT_FALSE(frmDisplay->Dragging());
    ExpectOnlyLine({310, 210}, {400, 300}); // the line stays after the release
    const QString last = test::Child<QLabel>(frmDisplay, "lblResult")->text();
    EXPECT_EQ(last, QStringLiteral("129")); // sqrt(91^2 + 91^2) = 128.69
    Move({500, 100});
    ExpectLabels("(500,100)", "(310,210)", "(400,300)", last.toUtf8().constData());
    ExpectOnlyLine({310, 210}, {400, 300});

    // A press and release without a move: the points change, the distance
    // keeps the last measurement until a move shows them.
    Press({350, 350});
    Release({350, 350});
    EXPECT_EQ(frmDisplay->StartPoint(), (PixPoint{350, 350}));
    EXPECT_EQ(frmDisplay->EndPoint(), (PixPoint{0, 0}));
    Move({360, 360});
    ExpectLabels("(360,360)", "(350,350)", "(0,0)", last.toUtf8().constData());
}

TEST_F(RulerWindow, SecondPressErasesThePreviousLine) {
    Open();
    Press({300, 200});
    Move({450, 260});
    Release({450, 260});
    ExpectOnlyLine({300, 200}, {450, 260});
    Press({500, 400});
    ExpectOnlyLine({0, 0}, {0, 0}); // nothing inverted any more
    Move({480, 420});
    ExpectOnlyLine({500, 400}, {480, 420});
    // A repaint keeps showing the line that still counts as shown, so the
    // next erase restores the picture rather than inverting it.
    frmDisplay->repaint();
    Move({470, 300});
    ExpectOnlyLine({500, 400}, {470, 300});
}

TEST_F(RulerWindow, DoubleClickRestartsAtTheClick) {
    Open();
    Press({300, 200});
    Move({350, 200});
    Release({350, 200});
    Press({600, 500});
    Release({600, 500}, Qt::LeftButton, false);
    // The second press of a double click, a pixel off the first one.
    Press({602, 501});
    EXPECT_TRUE(frmDisplay->Dragging());
    EXPECT_EQ(frmDisplay->StartPoint(), (PixPoint{602, 501}));
    ExpectOnlyLine({0, 0}, {0, 0});
    Move({602, 521}); // dragging on from the double click
    ExpectLabels("(602,521)", "(602,501)", "(602,521)", "21");
    ExpectOnlyLine({602, 501}, {602, 521});
    Release({602, 521});
}

TEST_F(RulerWindow, EveryButtonMeasuresAndDragsStayOnThePicture) {
    Open();
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton, Qt::BackButton}) {
        Press({300, 300}, b);
        Move({305, 300});
        EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblResult")->text(), QStringLiteral("6"));
        Release({305, 300}, b);
    }
    // A second button during a drag restarts there; its release ends the drag.
    Press({300, 300});
    Move({320, 300});
    Press({330, 330}, Qt::RightButton);
    Release({330, 330}, Qt::RightButton);
    Move({340, 340}); // left still held, but the drag is over
    EXPECT_FALSE(frmDisplay->Dragging());
    ExpectOnlyLine({0, 0}, {0, 0});
    Release({340, 340});

    // Leaving the screen during a drag measures to its edge, and the column 0
    // and row 0 pixels are drawn and erased like any other.
    const int w = screenSize.width(), h = screenSize.height();
    Press({300, 300});
    Move({-40, h + 50});
    EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblCurPos")->text(),
              QStringLiteral("(0,%1)").arg(h - 1));
    ExpectOnlyLine({300, 300}, {0, h - 1});
    Move({w + 300, -20});
    ExpectOnlyLine({300, 300}, {w - 1, 0});
    Release({w + 300, -20});
    Press({0, 400});
    Move({1, 400});
    Move({0, 400});
    ExpectLabels("(0,400)", "(0,400)", "(0,400)", "0");
    EXPECT_EQ(Differences(frmDisplay->Shown(), frmDisplay->Snapshot()).size(), 0u);
    Move({0, 0}); // over the panel, but the drag keeps the mouse
    ExpectLabels("(0,0)", "(0,400)", "(0,0)", "401");
    ExpectOnlyLine({0, 400}, {0, 0});
    Move({600, 0});
    ExpectOnlyLine({0, 400}, {600, 0});
    Release({600, 0});
    Press({600, 0});
    ExpectOnlyLine({0, 0}, {0, 0});
    Release({600, 0});
}

TEST_F(RulerWindow, PressesOverThePanelStartNoMeasurement) {
    Open();
    Move({300, 300});
    for (QPoint p : {QPoint(5, 5), QPoint(100, 120), QPoint(200, 50), QPoint(251, 157)}) {
        Press(p);
        EXPECT_FALSE(frmDisplay->Dragging()) << p.x() << "," << p.y();
        Release(p);
    }
    EXPECT_EQ(frmDisplay->StartPoint(), (PixPoint{0, 0}));
    ExpectLabels("(300,300)", "(0,0)", "(0,0)", "0");
    // Moves over the panel belong to it too.
    Move({100, 100});
    EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblCurPos")->text(), QStringLiteral("(300,300)"));
}

TEST_F(RulerWindow, MagnifierShowsTheWindowWithTheLineAsBeforeTheMove) {
    Open();
    Move({400, 300});
    ASSERT_TRUE(frmDisplay->MagnifierVisible());
    const QImage& m = frmDisplay->MagnifierImage();
    const QImage& s = frmDisplay->Snapshot();
    EXPECT_EQ(m.size(), QSize(128, 96));
    EXPECT_EQ(m.pixel(67, 51), s.pixel(400, 300));  // the cursor pixel's visible corner
    EXPECT_EQ(m.pixel(0, 0), s.pixel(384, 288));    // top-left source pixel
    EXPECT_EQ(m.pixel(127, 95), s.pixel(415, 311)); // bottom-right source pixel
    EXPECT_EQ(m.pixel(65, 45), qRgb(0, 0, 0));      // crosshair
    EXPECT_EQ(m.pixel(58, 49), qRgb(0, 0, 0));

    Press({395, 300});
    Move({405, 300}); // inverts 395..404 on row 300; the magnifier read before it
    EXPECT_EQ(frmDisplay->MagnifierImage().pixel(4 * 6, 4 * 12), s.pixel(395, 300));
    Move({405, 301});
    EXPECT_EQ(frmDisplay->MagnifierImage().pixel(4 * 6, 4 * 11), s.pixel(395, 300) ^ 0x00FFFFFFu);
    EXPECT_EQ(frmDisplay->Snapshot(), screen->desktop());
}

TEST_F(RulerWindow, RolledUpPanelHidesMagnifierAndLabels) {
    Open();
    test::Child<TbsSkinExPanel>(frmDisplay, "sepRuler")->rollButton()->click();
    EXPECT_EQ(test::Child<TbsSkinExPanel>(frmDisplay, "sepRuler")->height(),
              TbsSkinExPanel::RollUpHeight);
    for (QWidget* w :
         std::initializer_list<QWidget*>{test::Child<QWidget>(frmDisplay, "pbCaptureScreen"),
                                         test::Child<QLabel>(frmDisplay, "lblCurPos"),
                                         test::Child<QLabel>(frmDisplay, "lblResult"),
                                         test::Child<QLabel>(frmDisplay, "lblScreen"),
                                         test::Child<TbsSkinButton>(frmDisplay, "bsSkinButton1"),
                                         test::Child<QFrame>(frmDisplay, "bsSkinBevel1")})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(test::Child<TbsSkinExPanel>(frmDisplay, "sepRuler")->captionBar()->isVisible());

    // The area the panel uncovered measures.
    Press({100, 100});
    EXPECT_TRUE(frmDisplay->Dragging());
    Move({110, 100});
    Release({110, 100});
    EXPECT_EQ(test::Child<QLabel>(frmDisplay, "lblResult")->text(), QStringLiteral("11"));
    ExpectOnlyLine({100, 100}, {110, 100});
    // The caption bar still belongs to the panel.
    Press({100, 10});
    EXPECT_FALSE(frmDisplay->Dragging());
    Release({100, 10});

    test::Child<TbsSkinExPanel>(frmDisplay, "sepRuler")->rollButton()->click();
    EXPECT_EQ(test::Child<TbsSkinExPanel>(frmDisplay, "sepRuler")->height(), 158);
    EXPECT_TRUE(test::Child<QLabel>(frmDisplay, "lblResult")->isVisible());
    EXPECT_TRUE(test::Child<QWidget>(frmDisplay, "pbCaptureScreen")->isVisible());
    EXPECT_FALSE(frmDisplay->MagnifierVisible()); // empty until the next move
    Move({300, 300});
    EXPECT_TRUE(frmDisplay->MagnifierVisible());
}

TEST_F(RulerWindow, EveryWayOfClosingBringsBackTheMainWindow) {
    enum How { Button, PanelClose, Escape, DuringDrag };
    for (How how : {Button, PanelClose, Escape, DuringDrag}) {
        if (!frmDisplay) {
            frmDisplay = new TfrmDisplay(services);
            frmDisplay->SetCaptureDelay(0);
        }
        QPointer<TfrmDisplay> d = Open();
        ASSERT_TRUE(d);
        Press({300, 300});
        Move({350, 320});
        switch (how) {
        case Button:
            Release({350, 320});
            test::Child<TbsSkinButton>(d, "bsSkinButton1")->click();
            break;
        case PanelClose:
            Release({350, 320});
            test::Child<TbsSkinExPanel>(d, "sepRuler")->closeButton()->click();
            break;
        case Escape: {
            Release({350, 320});
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(d, &esc);
            break;
        }
        case DuringDrag:
            d->close();
            break;
        }
        EXPECT_TRUE(main->isVisible()) << how;
        EXPECT_EQ(frmDisplay, nullptr) << how;
        EXPECT_TRUE(d) << "released only after the closing event";
        FlushDeletes();
        EXPECT_FALSE(d) << how;
        held = {};
    }
}

TEST_F(RulerWindow, ReopeningTakesAFreshPictureWithClearedLabels) {
    Open();
    Press({300, 300});
    Move({340, 300});
    frmDisplay->close(); // during the drag
    FlushDeletes();
    ASSERT_EQ(frmDisplay, nullptr);
    held = {};
    screen->desktop() = PatternDesktop(screenSize, 99);
    TfrmDisplay* d = Open(); // a new window, with the real pause before the picture
    ASSERT_TRUE(d);
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(d->Snapshot(), screen->desktop());
    EXPECT_EQ(d->Shown(), screen->desktop());
    ExpectLabels("(0,0)", "(0,0)", "(0,0)", "0");
    EXPECT_FALSE(d->Dragging());
}

TEST_F(RulerWindow, UnreadableScreenIsReportedAndTheMainWindowStays) {
    screen->reason = QStringLiteral("该桌面不允许读取屏幕。");
    Open();
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(frmDisplay->isVisible());
    ASSERT_EQ(ts.errors.messages.size(), 1);
    EXPECT_EQ(ts.errors.messages[0], screen->reason);
}
