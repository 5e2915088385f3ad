// The colour grids, the preview and the wheel on their own.
#include "colour/Contrast.h"
#include "colour/Swatch.h"
#include "colour/bsColorCtrls.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

using namespace tp;

namespace {

TRGB At(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return {uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))};
}

QPoint CellCentre(const TbsColorCellGrid& g, int n) {
    const grid::CellLayout l = g.Layout();
    const grid::Box b = grid::CellBox(l, n / l.cols, n % l.cols);
    return QPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
}

// The pixels where the two pictures differ.
std::set<std::pair<int, int>> Diff(const QImage& a, const QImage& b) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) out.insert({x, y});
    return out;
}

std::set<std::pair<int, int>> Outline(wheel::Point c) {
    std::set<std::pair<int, int>> out;
    for (const wheel::Point& d : wheel::MarkerOutline())
        out.insert({c.x + d.x, c.y + d.y});
    return out;
}

// Where the markers are drawn, found from the pixels alone: the picture
// with and without them.
std::set<std::pair<int, int>> MarkerPixels(TbsColorWheel& w) {
    const QImage with = w.Picture().copy();
    w.ToggleMarkers();
    const QImage without = w.Picture().copy();
    w.ToggleMarkers();
    EXPECT_EQ(w.Picture(), with) << "drawing the markers twice must restore the picture";
    return Diff(with, without);
}

struct Wheel {
    TPSPColor color;
    TbsColorWheel w{color};
    int notified = 0;
    Wheel() {
        QObject::connect(&w, &TbsColorWheel::changed, [this] { ++notified; });
        w.SetBackgroundPainter([](QImage& img) { img.fill(QColor(1, 2, 3)); });
        w.DrawWheel();
    }
};

} // namespace

TEST(ColorGrids, BasicGridReportsOnlyBasicColoursAndHighlightsThem) {
    TbsSkinColorGrid g;
    g.SetRowCount(8);
    g.SetColCount(6);
    g.resize(167, 195);
    QSignalSpy spy(&g, &TbsColorCellGrid::OnChange);
    g.SetColorValue(TRGB{18, 52, 86});
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(g.ColorValue(), (TRGB{18, 52, 86}));
    g.SetColorValue({0, 0, 0});
    EXPECT_EQ(spy.count(), 1);

    // The top-left cell carries the plate: navy outline, swatch 4 pixels in.
    QImage img(g.size(), QImage::Format_RGB32);
    g.render(&img);
    const grid::CellLayout l = g.Layout();
    const grid::Box plate = grid::PlateBox(l, 0, 0);
    EXPECT_EQ(At(img, plate.left, plate.top), (TRGB{0, 0, 128}));
    EXPECT_EQ(At(img, plate.left + 2, plate.top + 2), (TRGB{133, 147, 181}));
    const grid::Box sw = grid::SwatchBox(l, 0, 0, true);
    EXPECT_EQ(At(img, sw.left, sw.top), (TRGB{0, 0, 0}));
    // A plain cell has no plate.
    const grid::Box other = grid::CellBox(l, 0, 1);
    EXPECT_NE(At(img, other.left, other.top), (TRGB{0, 0, 128}));

    // Pressing the same cell twice reports twice; a gap reports nothing.
    QTest::mouseClick(&g, Qt::RightButton, {}, CellCentre(g, 37));
    QTest::mouseClick(&g, Qt::LeftButton, {}, CellCentre(g, 37));
    EXPECT_EQ(spy.count(), 3);
    EXPECT_EQ(g.ColorValue(), (TRGB{0x80, 0x42, 0x4F}));
    const grid::Box c = grid::CellBox(l, 2, 2);
    QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(c.right, c.top + 2));
    QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(c.right + 1, c.top + 2));
    EXPECT_EQ(spy.count(), 3);

    // Counts below 1 are ignored.
    g.SetColCount(0);
    EXPECT_EQ(g.ColCount(), 6);
}

TEST(ColorGrids, CustomGridSelectsThePressedSlotOnly) {
    TbsSkinCustomColorGrid g;
    g.resize(167, 68);
    QSignalSpy spy(&g, &TbsColorCellGrid::OnChange);
    QTest::mouseClick(&g, Qt::LeftButton, {}, CellCentre(g, 7));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(g.ColorValue(), (TRGB{255, 255, 255})); // untouched slots are white
    EXPECT_EQ(g.SelectedSlot(), 8);

    g.AddColor(TRGB{1, 2, 3});
    g.AddColor(TRGB{1, 2, 3});
    EXPECT_EQ(g.NextSlot(), 2);
    EXPECT_EQ(g.SelectedSlot(), 8); // adding leaves the selection alone
    QTest::mouseClick(&g, Qt::LeftButton, {}, CellCentre(g, 1));
    EXPECT_EQ(g.SelectedSlot(), 2);
    EXPECT_EQ(g.ColorValue(), (TRGB{1, 2, 3}));
    QImage img(g.size(), QImage::Format_RGB32);
    g.render(&img);
    const grid::CellLayout l = g.Layout();
    EXPECT_EQ(At(img, grid::PlateBox(l, 0, 1).left, grid::PlateBox(l, 0, 1).top),
              (TRGB{0, 0, 128}));
    EXPECT_NE(At(img, grid::PlateBox(l, 0, 0).left, grid::PlateBox(l, 0, 0).top),
              (TRGB{0, 0, 128}));

    // A bad slot number from outside does not let AddColor write past the slots.
    g.SetNextSlot(40);
    g.AddColor(TRGB{9, 9, 9});
    EXPECT_EQ(g.Slot(1), (TRGB{9, 9, 9}));
}

TEST(ColorViewer, FillsWithTheColourInsideABlackOutline) {
    TbsColorViewer v;
    v.resize(40, 40);
    v.SetColorValue(TRGB{10, 200, 30});
    QImage img(v.size(), QImage::Format_RGB32);
    v.render(&img);
    EXPECT_EQ(At(img, 0, 0), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(img, 39, 20), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(img, 20, 20), (TRGB{10, 200, 30}));
}

TEST(ColorWheel, FirstDrawingForBlack) {
    Wheel t;
    const QImage& p = t.w.Picture();
    EXPECT_EQ(At(p, 98, 0), (TRGB{240, 0, 0}));
    EXPECT_EQ(At(p, 97, 0), (TRGB{240, 0, 0}));
    EXPECT_EQ(At(p, 98, 19), (TRGB{240, 0, 0}));
    EXPECT_EQ(At(p, 0, 0), (TRGB{1, 2, 3})); // background outside the ring
    // The square for hue 0: black top row, white bottom row, grey left
    // column, the pure hue at mid-height on the right.
    EXPECT_EQ(At(p, 44, 44), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(p, 150, 44), (TRGB{0, 0, 0}));
    EXPECT_EQ(At(p, 44, 150), (TRGB{255, 255, 255}));
    EXPECT_EQ(At(p, 150, 150), (TRGB{255, 255, 255}));
    EXPECT_EQ(At(p, 150, 97), (TRGB{255, 0, 0}));
    EXPECT_EQ(At(p, 44, 97), (TRGB{128, 128, 128}));
    // Going clockwise from the top: magenta, blue, cyan, green, yellow.
    const TRGB four = At(p, 173, 142), bottom = At(p, 98, 187), left = At(p, 9, 98);
    EXPECT_TRUE(four.b > 200 && four.r < 30 && four.g < 30);
    EXPECT_TRUE(bottom.g > 200 && bottom.b > 200 && bottom.r < 20);
    EXPECT_TRUE(left.g > 200 && left.r > 100 && left.b < 20);

    std::set<std::pair<int, int>> expected = Outline({44, 44});
    for (const auto& px : Outline({97, 10}))
        expected.insert(px);
    EXPECT_EQ(MarkerPixels(t.w), expected);
}

TEST(ColorWheel, RingPressSetsTheHueAndLeavesNoTraceOfTheOldMarkers) {
    Wheel t;
    t.color.SetRGB(TRGB{200, 100, 100});
    t.w.DrawWheel();
    t.w.MouseDown(Qt::LeftButton, 184, 97);
    EXPECT_EQ(t.w.WheelPart(), wheel::wpRing);
    EXPECT_EQ(t.color.HueByte(), 191);
    EXPECT_EQ(t.notified, 1);
    t.w.MouseUp(Qt::LeftButton, 184, 97); // same hue again: no news
    EXPECT_EQ(t.notified, 1);
    EXPECT_EQ(t.w.WheelPart(), wheel::wpNone);

    // The picture equals one drawn afresh for the new colour.
    Wheel fresh;
    fresh.color.Assign(t.color);
    fresh.w.DrawWheel();
    EXPECT_TRUE(Diff(t.w.Picture(), fresh.w.Picture()).empty());
    const auto markers = MarkerPixels(t.w);
    EXPECT_TRUE(markers.count({184 - 5, 97}) || markers.count({184 + 4, 97}));
    EXPECT_FALSE(markers.count({97, 10 - 5}));
}

TEST(ColorWheel, RingPressBytesAndButtons) {
    Wheel t;
    t.w.MouseDown(Qt::LeftButton, 97, 15);
    EXPECT_EQ(t.color.HueByte(), 255);
    EXPECT_DOUBLE_EQ(t.color.Hue(), 1.0);
    EXPECT_EQ(t.notified, 1); // black stays black, but the hue byte changed
    t.w.MouseMove(Qt::LeftButton, 97, 184);
    EXPECT_EQ(t.color.HueByte(), 127);
    // A drag begun on the ring keeps steering the hue from anywhere.
    t.w.MouseMove(Qt::LeftButton, -50, 97);
    EXPECT_EQ(t.color.HueByte(), 63);
    t.w.MouseUp(Qt::LeftButton, -50, 97);

    // A right press on the ring chooses the part but changes nothing.
    t.w.MouseDown(Qt::RightButton, 184, 97);
    EXPECT_EQ(t.w.WheelPart(), wheel::wpRing);
    EXPECT_EQ(t.color.HueByte(), 63);
    t.w.MouseUp(Qt::RightButton, 184, 97);
    EXPECT_EQ(t.w.WheelPart(), wheel::wpNone);
}

TEST(ColorWheel, SquareDragClampsAndOnlyMovesTheMarkers) {
    Wheel t;
    const int squares = t.w.SquareDraws();
    t.w.MouseDown(Qt::LeftButton, 44, 44);
    EXPECT_EQ(t.notified, 1); // runs even though nothing changed
    t.w.MouseMove(Qt::LeftButton, 300, -20);
    EXPECT_EQ(t.color.SaturationByte(), 255);
    EXPECT_EQ(t.color.LightnessByte(), 0);
    EXPECT_EQ(t.color.Color(), (TRGB{0, 0, 0}));
    t.w.MouseMove(Qt::LeftButton, 150, 97);
    EXPECT_EQ(t.color.LightnessByte(), 128);
    EXPECT_EQ(t.color.Color(), (TRGB{255, 1, 1}));
    t.w.MouseMove(Qt::NoButton, 60, 60); // no button held: nothing
    EXPECT_EQ(t.color.LightnessByte(), 128);
    t.w.MouseUp(Qt::LeftButton, 150, 97);
    EXPECT_EQ(t.w.SquareDraws(), squares);
    EXPECT_EQ(t.w.WheelPart(), wheel::wpNone);

    Wheel fresh;
    fresh.color.Assign(t.color);
    fresh.w.DrawWheel();
    EXPECT_TRUE(Diff(t.w.Picture(), fresh.w.Picture()).empty());
}

TEST(ColorWheel, PressesOutsideRingAndSquareDoNothing) {
    Wheel t;
    t.color.SetRGB(TRGB{0, 128, 255});
    t.w.DrawWheel();
    const QImage before = t.w.Picture().copy();
    for (QPoint p : {QPoint(150, 150), QPoint(0, 0), QPoint(-10, 300), QPoint(160, 100)}) {
        t.w.MouseDown(Qt::LeftButton, p.x(), p.y());
        EXPECT_EQ(t.w.WheelPart(), wheel::wpNone);
        t.w.MouseMove(Qt::LeftButton, 100, 100);
        t.w.MouseMove(Qt::LeftButton, 97, 15);
        t.w.MouseUp(Qt::LeftButton, 97, 15);
    }
    EXPECT_EQ(t.notified, 0);
    EXPECT_EQ(t.w.Picture(), before);
}

TEST(ColorWheel, ChangeFromOutsideRedrawsTheSquareOnlyForANewHue) {
    Wheel t;
    int squares = t.w.SquareDraws();
    t.w.UpdateWheel(TRGB{128, 128, 128}); // grey: hue 0 as before
    EXPECT_EQ(t.w.SquareDraws(), squares);
    t.w.UpdateWheel(TRGB{0, 0, 255});
    EXPECT_EQ(t.w.SquareDraws(), ++squares);
    t.w.UpdateWheel(TRGB{0, 0, 128});
    EXPECT_EQ(t.w.SquareDraws(), squares);
    Wheel fresh;
    fresh.color.SetRGB(TRGB{0, 0, 128});
    fresh.w.DrawWheel();
    EXPECT_TRUE(Diff(t.w.Picture(), fresh.w.Picture()).empty());
    EXPECT_EQ(t.notified, 0); // changes from outside are not echoed back
}

TEST(ColorWheel, RealMouseEventsReachTheWheel) {
    Wheel t;
    t.w.show();
    QTest::mousePress(&t.w, Qt::LeftButton, {}, QPoint(184, 97));
    EXPECT_EQ(t.color.HueByte(), 191);
    QTest::mouseRelease(&t.w, Qt::LeftButton, {}, QPoint(184, 97));
    EXPECT_EQ(t.w.WheelPart(), wheel::wpNone);
}

TEST(Swatch, ItsCaptionIsLegibleOnAMidTone) {
    ColorSwatch swatch(QStringLiteral("取色"));
    swatch.resize(60, 40);
    swatch.setColor({0x80, 0x80, 0x80});
    const QImage img = swatch.grab().toImage();
    const TRGB back = At(img, 1, 1);
    double best = 1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            best = std::max(best, ContrastRatio(At(img, x, y), back));
    EXPECT_GE(best, 3.0);
    EXPECT_EQ(swatch.fontColor(), (TRGB{0, 0, 0}));
}
