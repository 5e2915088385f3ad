// The history grid on the main window: drawing, choosing slots, and the
// history file read at creation and written at closing.
#include "app/mainRGB.h"
#include "history/DrawGrid.h"
#include "history/HistoryFile.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace tp;

namespace {

QByteArray fixtureBytes(const char* name) {
    QFile f(QString::fromUtf8(TINTPICK_FIXTURES) + QLatin1Char('/') + QString::fromUtf8(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

void writeFile(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int distance(QRgb px, TRGB c) {
    return std::abs(qRed(px) - c.r) + std::abs(qGreen(px) - c.g) + std::abs(qBlue(px) - c.b);
}

struct GridFixture : ::testing::Test {
    test::TestServices ts;
    std::unique_ptr<TfrmMain> w;

    void open() {
        w = std::make_unique<TfrmMain>(ts.services());
        w->show();
    }
    TbsSkinDrawGrid* grid() const { return test::Child<TbsSkinDrawGrid>(w.get(), "sdgHistory"); }
    QLineEdit* code() const { return test::Child<QLineEdit>(w.get(), "edtHC"); }
    void click(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF at = grid()->CellRect(col, row).center();
        QMouseEvent p(QEvent::MouseButtonPress, at, grid()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, mods);
        QApplication::sendEvent(grid(), &p);
        QMouseEvent r(QEvent::MouseButtonRelease, at, grid()->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, mods);
        QApplication::sendEvent(grid(), &r);
    }
    void drag(int fromCol, int fromRow, int toCol, int toRow) {
        const QPointF a = grid()->CellRect(fromCol, fromRow).center();
        const QPointF b = grid()->CellRect(toCol, toRow).center();
        QMouseEvent p(QEvent::MouseButtonPress, a, grid()->mapToGlobal(a), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid(), &p);
        QMouseEvent m(QEvent::MouseMove, b, grid()->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(grid(), &m);
        QMouseEvent r(QEvent::MouseButtonRelease, b, grid()->mapToGlobal(b), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid(), &r);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QApplication::sendEvent(grid(), &e);
    }
    // How many pixels of a cell are nearer the inverse of its slot than the
    // slot itself (the "+", antialiased).
    int markPixels(int col, int row) {
        const QImage img = grid()->grab().toImage();
        const QRect cell = grid()->CellRect(col, row);
        const TRGB slot = w->History().Slot(row * 8 + col);
        const TRGB ink = InverseColor(slot);
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (distance(img.pixel(x, y), ink) < distance(img.pixel(x, y), slot)) ++n;
        return n;
    }
};

} // namespace

TEST_F(GridFixture, FixtureFileFillsTheGridAndTheCurrentColour) {
    writeFile(ts.historyPath(), fixtureBytes("history_59.dat"));
    open();
    EXPECT_EQ(w->CurrentColour(), (TRGB{10, 20, 30}));
    EXPECT_EQ(code()->text(), QStringLiteral("0A141E"));
    EXPECT_EQ(w->History().HistoryPos(), 3);
    EXPECT_EQ(w->History().HistoryLast(), 2);
    // The current cell starts at column 0, row 0 whatever HistoryLast says.
    EXPECT_EQ(grid()->Col(), 0);
    EXPECT_EQ(grid()->Row(), 0);
    EXPECT_TRUE(ts.errors.plainMessages.isEmpty());

    // Cells are 21 x 8 with a 1-pixel line after each, in slot colours.
    const QImage img = grid()->grab().toImage();
    EXPECT_EQ(img.size(), QSize(176, 18));
    EXPECT_EQ(img.pixel(22 * 5 + 3, 9 + 3) & 0xFFFFFF, qRgb(208, 242, 13) & 0xFFFFFFu); // slot 13
    EXPECT_EQ(img.pixel(21, 3) & 0xFFFFFF, 0xC0DCC0u);
    EXPECT_EQ(img.pixel(3, 8) & 0xFFFFFF, 0xC0DCC0u);
    EXPECT_GT(markPixels(0, 0), 0);
    EXPECT_EQ(markPixels(1, 0), 0);
}

TEST_F(GridFixture, PlainClickLoadsTheCellShiftClickAndDragOnlyMarkTheRange) {
    writeFile(ts.historyPath(), fixtureBytes("history_59.dat"));
    open();
    click(2, 0);
    EXPECT_EQ(w->CurrentColour(), (TRGB{32, 253, 2}));
    EXPECT_EQ(code()->text(), QStringLiteral("20FD02"));
    // The marked cell reloads its colour once the current colour changed.
    code()->setText(QStringLiteral("123456"));
    click(2, 0);
    EXPECT_EQ(w->CurrentColour(), (TRGB{32, 253, 2}));

    click(5, 1, Qt::ShiftModifier);
    EXPECT_EQ(w->CurrentColour(), (TRGB{32, 253, 2})); // a Shift-click loads nothing
    EXPECT_EQ(grid()->Selection(), QRect(QPoint(2, 0), QPoint(5, 1)));
    for (int c = 2; c <= 5; ++c)
        EXPECT_GT(markPixels(c, 1), 0) << c;
    EXPECT_EQ(markPixels(6, 1), 0);

    drag(1, 0, 3, 1);
    EXPECT_EQ(w->CurrentColour(), (TRGB{16, 254, 1})); // the pressed cell only
    EXPECT_EQ(grid()->Selection(), QRect(QPoint(1, 0), QPoint(3, 1)));
    EXPECT_GT(markPixels(3, 1), 0);
}

TEST_F(GridFixture, ArrowAndPagingKeysChooseSlots) {
    writeFile(ts.historyPath(), fixtureBytes("history_59.dat"));
    open();
    key(Qt::Key_Right);
    EXPECT_EQ(w->CurrentColour(), (TRGB{16, 254, 1}));
    key(Qt::Key_PageDown);
    EXPECT_EQ(w->CurrentColour(), (TRGB{144, 246, 9}));
    key(Qt::Key_End);
    EXPECT_EQ(w->CurrentColour(), (TRGB{240, 240, 15}));
    key(Qt::Key_Left, Qt::ShiftModifier); // extends the range, loads nothing
    EXPECT_EQ(w->CurrentColour(), (TRGB{240, 240, 15}));
    EXPECT_EQ(grid()->Selection(), QRect(QPoint(6, 1), QPoint(7, 1)));
}

TEST_F(GridFixture, CloseWritesTheFileAndKeepsBytesPastTheLayout) {
    writeFile(ts.historyPath(), fixtureBytes("history_70.dat"));
    open();
    w->TakeColour(TRGB{1, 2, 3});
    EXPECT_EQ(grid()->Col(), 3);
    w->close();
    const QByteArray after = readFile(ts.historyPath());
    ASSERT_EQ(after.size(), 70);
    EXPECT_EQ(after.mid(59), QByteArray("TRAILERDATA"));
    EXPECT_EQ(after.mid(3, 8), QByteArray::fromHex("0400000003000000"));
    EXPECT_EQ(after.mid(11 + 9, 3), QByteArray::fromHex("010203"));
    // The pushed colour is the current one.
    EXPECT_EQ(after.left(3), QByteArray::fromHex("010203"));
}

TEST_F(GridFixture, FirstStartCreatesAnEmptyFileAndWritesFiftyNineBytes) {
    open();
    EXPECT_EQ(readFile(ts.historyPath()).size(), 0);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(ts.historyPath())));
    EXPECT_EQ(w->CurrentColour(), (TRGB{255, 255, 255}));
    w->close();
    const QByteArray b = readFile(ts.historyPath());
    EXPECT_EQ(b, QByteArray::fromHex("ffffff0000000000000000") + QByteArray(48, '\xff'));
}

TEST_F(GridFixture, OutOfRangePositionsAreWrappedWithAPlainMessage) {
    writeFile(ts.historyPath(), fixtureBytes("history_badpos.dat"));
    open();
    EXPECT_EQ(w->History().HistoryPos(), 15);
    EXPECT_EQ(w->History().HistoryLast(), 5);
    ASSERT_EQ(ts.errors.plainMessages.size(), 1);
    EXPECT_TRUE(ts.errors.plainMessages[0].contains(QStringLiteral("HisColors.dat")));
    EXPECT_TRUE(ts.errors.messages.isEmpty());
    w->TakeColour(TRGB{9, 9, 9});
    EXPECT_EQ(w->History().Slot(15), (TRGB{9, 9, 9}));
    EXPECT_EQ(grid()->Col(), 7);
    EXPECT_EQ(grid()->Row(), 1);
}

TEST_F(GridFixture, UnreadableFileIsReportedAndNotOverwritten) {
    // A folder in the file's place cannot be read as a file (and works the
    // same for root, unlike permissions).
    QDir().mkpath(QString::fromStdString(ts.historyPath()));
    open();
    ASSERT_EQ(ts.errors.plainMessages.size(), 1);
    EXPECT_EQ(w->CurrentColour(), (TRGB{255, 255, 255}));
    w->TakeColour(TRGB{1, 1, 1});
    w->close();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(ts.historyPath())).isDir());
    EXPECT_EQ(ts.errors.plainMessages.size(), 1);
}

TEST_F(GridFixture, FailedSaveIsReportedOnceWithTheFileAndTheReason) {
    // A plain file where the history's folder should be: no save can
    // succeed there, not even root's.
    const QString blocker = ts.scratch.filePath(QStringLiteral("blocker"));
    writeFile(blocker.toStdString(), "x");
    Services services = ts.services();
    services.historyPath = (blocker + QStringLiteral("/HisColors.dat")).toStdString();
    w = std::make_unique<TfrmMain>(services);
    w->show();
    w->TakeColour(TRGB{1, 2, 3});
    // The session's end and the window's close both try to save.
    w->SessionEnding();
    w->close();
    ASSERT_EQ(ts.errors.exitMessages.size(), 1);
    EXPECT_TRUE(ts.errors.exitMessages[0].contains(QString::fromStdString(services.historyPath)));
#ifdef Q_OS_WIN
    // The system's own words for it (without their full stop).
    const QString reason = qt_error_string(ERROR_PATH_NOT_FOUND).remove(QLatin1Char('.'));
#else
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOTDIR));
#endif
    EXPECT_TRUE(ts.errors.exitMessages[0].contains(reason))
        << ts.errors.exitMessages[0].toStdString();
    // Nothing waits for an answer while the program ends.
    EXPECT_TRUE(ts.errors.messages.isEmpty());
    EXPECT_TRUE(ts.errors.plainMessages.isEmpty());
}
