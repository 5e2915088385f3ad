// The Windows screen reader against the real screen: a window painted one
// colour reads as that colour through GetPixel and through the 32 x 24
// BitBlt, at the device position GetCursorPos reports.
#include "platform/QtScreenSource.h"

#include <QTest>
#include <QWidget>

#include <windows.h>

#include <gtest/gtest.h>

using namespace tp;

TEST(GdiReader, ReadsWhatAWindowShowsWhereTheCursorIs) {
    auto screen = CreateScreenSource();
    ASSERT_TRUE(screen->unavailableReason().isEmpty());
    QWidget painted;
    painted.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    painted.setStyleSheet(QStringLiteral("background: #204080"));
    painted.setAutoFillBackground(true);
    QPalette pal = painted.palette();
    pal.setColor(QPalette::Window, QColor(0x20, 0x40, 0x80));
    painted.setPalette(pal);
    painted.setGeometry(100, 100, 200, 150);
    painted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&painted));
    const QPoint centre(200, 175);
    const auto reads = [&] {
        const std::optional<QRgb> c = screen->pixel(centre);
        return c && (*c & 0xFFFFFFu) == 0x204080u;
    };
    ASSERT_TRUE(QTest::qWaitFor(reads, 5000));

    SetCursorPos(centre.x(), centre.y());
    EXPECT_TRUE(QTest::qWaitFor([&] { return screen->cursorPos() == centre; }, 2000));
    const ScreenSource::CursorSample sample =
        screen->sampleAtCursor(QPointF(centre), QSize(32, 24));
    EXPECT_EQ(sample.cursor, centre);
    ASSERT_EQ(sample.area.size(), QSize(32, 24));
    int right = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x)
            right += (sample.area.pixel(x, y) & 0xFFFFFFu) == 0x204080u;
    EXPECT_EQ(right, 32 * 24);

    // Beyond every monitor there is nothing to read, and the grab is black there.
    const QRect primary = screen->primaryRect();
    EXPECT_FALSE(screen->pixel(QPoint(primary.right() + 5000, 0)).has_value());
    const QImage edge = screen->grab(QRect(primary.right() - 1, 0, 4, 1));
    EXPECT_EQ(edge.pixel(3, 0) & 0xFFFFFFu, 0u);
}
