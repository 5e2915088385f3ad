// How the colour wheel's painting compares with the memory floor: filling
// the same pixels with one constant colour through the same row access.
// Prints medians in microseconds and the ratios, all measured in this run.
#include "Timing.h"
#include "colour/ColorDialog.h"
#include "colour/TrackEdit.h"
#include "colour/bsColorCtrls.h"
#include "support/Child.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QDialog>

#include <cstdio>

using namespace tp;

namespace {

volatile uint32_t sink;

void FillRows(QImage& img, int x0, int x1, int y0, int y1, uint32_t v) {
    for (int y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        for (int x = x0; x <= x1; ++x)
            line[x] = v;
    }
    sink = reinterpret_cast<const uint32_t*>(img.constScanLine(y0))[x0];
}

void Report(const char* what, double us, double floorUs) {
    std::printf("%-44s %9.1f us   floor %7.2f us   ratio %7.1f\n", what, us, floorUs, us / floorUs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = 201;

    TPSPColor color;
    color.SetRGB(TRGB{30, 120, 200});
    TbsColorWheel w(color);
    int notified = 0;
    QObject::connect(&w, &TbsColorWheel::changed, [&] { ++notified; });
    QImage scratch(wheel::Size, wheel::Size, QImage::Format_RGB32);
    uint32_t v = 0xFF000000u;

    const double draw = bench::MedianUs(runs, [&] { w.DrawWheel(); });
    const double drawFloor = bench::MedianUs(
        runs, [&] { FillRows(scratch, 0, wheel::Size - 1, 0, wheel::Size - 1, ++v); });
    Report("DrawWheel (195 x 195)", draw, drawFloor);

    const double square = bench::MedianUs(runs, [&] { w.RedrawSquare(); });
    const double squareFloor =
        bench::MedianUs(runs, [&] { FillRows(scratch, 44, 150, 44, 150, ++v); });
    Report("RedrawSquare (107 x 107)", square, squareFloor);

    // The same square through QImage::setPixel, per pixel, for contrast.
    const double viaSetPixel = bench::MedianUs(runs, [&] {
        for (int y = 44; y <= 150; ++y)
            for (int x = 44; x <= 150; ++x) {
                const TRGB c = HSLToRGB(color.Hue(), (x - 44) / 106.0, (y - 44) / 106.0);
                scratch.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
    });
    std::printf("%-44s %9.1f us   scanLine is %.2fx faster\n", "  same square via QImage::setPixel",
                viaSetPixel, viaSetPixel / square);

    // One drag step in the square: two marker toggles and the colour update;
    // the floor is writing the marker pixels it touches (two markers, off
    // and on again).
    w.MouseDown(Qt::LeftButton, 60, 60);
    int step = 0;
    const double drag = bench::MedianUs(runs, [&] {
        ++step;
        w.MouseMove(Qt::LeftButton, 60 + (step & 31), 60 + ((step >> 5) & 31));
    });
    const auto& outline = wheel::MarkerOutline();
    const double markerFloor = bench::MedianUs(runs, [&] {
        for (int k = 0; k < 4; ++k)
            for (const wheel::Point& d : outline)
                reinterpret_cast<uint32_t*>(scratch.scanLine(97 + d.y))[97 + d.x] = ++v;
        sink = scratch.pixel(97, 92);
    });
    const double moveMarkers = bench::MedianUs(runs, [&] {
        w.ToggleMarkers();
        w.ToggleMarkers();
    });
    w.MouseUp(Qt::LeftButton, 60, 60);
    Report("drag step in the square (wheel only)", drag, markerFloor);
    Report("moving the markers (two toggles)", moveMarkers, markerFloor);
    std::printf("%-44s %9.2f\n", "drag step / moving the markers", drag / moveMarkers);
    std::printf("%-44s %9.2f\n", "RedrawSquare / drag step", square / drag);

    // The same drag step inside the dialog, where each step also updates
    // the six edits and the preview.
    test::TestServices fakes;
    TbsSkinColorDialog dlg(fakes.services());
    dlg.SetColor({30, 120, 200});
    double dialogDrag = 0;
    fakes.runModal = [&](QDialog& form) {
        TbsColorWheel& dw = *test::Child<TbsColorWheel>(&form, "wheel");
        dw.MouseDown(Qt::LeftButton, 60, 60);
        int s = 0;
        dialogDrag = bench::MedianUs(runs, [&] {
            ++s;
            dw.MouseMove(Qt::LeftButton, 60 + (s & 31), 60 + ((s >> 5) & 31));
        });
        dw.MouseUp(Qt::LeftButton, 60, 60);
        return 0;
    };
    dlg.Execute();
    Report("drag step in the square (whole dialog)", dialogDrag, markerFloor);
    std::printf("(notified %d times)\n", notified);
    return 0;
}
