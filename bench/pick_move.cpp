// Cost of one eyedropper move through the whole move path (the swatch's
// move event: position, 32 x 24 read, pixel, every view refreshed, the
// magnifier redrawn) against one raw xcb_get_image of the same 32 x 24 area,
// measured alternately in the same run on the same X connection. Also
// prints the move path over Qt's grab (QScreen::grabWindow) for comparison.
// Needs an X11 display (bench/run_pick_move.sh starts a private Xvfb).
#include "Timing.h"
#include "app/mainRGB.h"
#include "colour/Swatch.h"
#include "platform/QtScreenSource.h"
#include "support/Child.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

using namespace tp;
using bench::Median;
using bench::TimeUs;

namespace {

struct Window {
    std::unique_ptr<ScreenSource> screen;
    std::unique_ptr<TfrmMain> frm;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "pick_move needs an X11 display (platform is %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    const int moves = argc > 1 ? std::atoi(argv[1]) : 2000;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    // The seams the move path does not touch are the tests' fakes.
    test::TestServices fakes;
    auto makeWindow = [&](std::unique_ptr<ScreenSource> screen) {
        Services s = fakes.services();
        s.screen = screen.get();
        Window w{std::move(screen), nullptr};
        w.frm = std::make_unique<TfrmMain>(s);
        w.frm->show();
        QApplication::processEvents();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(test::Child(w.frm.get(), "lblColor"), &press);
        return w;
    };
    Window native = makeWindow(CreateScreenSource());
    Window viaQt = makeWindow(std::make_unique<QtScreenSource>());
    QScreen* primary = QGuiApplication::primaryScreen();
    const QSize desk = primary->geometry().size();

    auto rawGrab = [&](int x, int y) {
        free(xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 32, 24, ~0u),
            nullptr));
    };
    // Real moves come with the pointer already there: put it there first
    // (outside the timed part) and wait until the server has done so.
    auto putPointer = [&](int x, int y) {
        xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, int16_t(x), int16_t(y));
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    };
    auto move = [&](Window& w, int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), QPointF(x, y), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(test::Child(w.frm.get(), "lblColor"), &e);
    };

    std::vector<double> raw, path, pathPaint, qtPath, qtGrab;
    for (int i = 0; i < moves; ++i) {
        // Walk over the desktop so that every move changes colour and views.
        const int x = 40 + (i * 7) % (desk.width() - 80);
        const int y = 40 + (i * 3) % (desk.height() - 80);
        raw.push_back(TimeUs([&] { rawGrab(x - 16, y - 12); }));
        putPointer(x, y);
        path.push_back(TimeUs([&] { move(native, x, y); }));
        // The repaints the move asked for, as the event loop would run them.
        putPointer(x + 1, y);
        pathPaint.push_back(TimeUs([&] {
            move(native, x + 1, y);
            QApplication::processEvents();
        }));
        if (i % 4 == 0) {
            putPointer(x, y);
            qtPath.push_back(TimeUs([&] { move(viaQt, x, y); }));
            qtGrab.push_back(TimeUs([&] { primary->grabWindow(0, x - 16, y - 12, 32, 24); }));
        }
    }
    QApplication::processEvents();
    const double r = Median(raw);
    std::printf("pick_move: %d moves, medians in microseconds\n", moves);
    std::printf("  raw xcb_get_image 32x24 (baseline)     %8.1f\n", r);
    std::printf("  move path, native X11 reader           %8.1f   ratio %.2f\n", Median(path),
                Median(path) / r);
    std::printf("  move path + repaint, native reader     %8.1f   ratio %.2f\n", Median(pathPaint),
                Median(pathPaint) / r);
    std::printf("  move path, Qt grabWindow reader        %8.1f   ratio %.2f\n", Median(qtPath),
                Median(qtPath) / r);
    std::printf("  QScreen::grabWindow 32x24 alone        %8.1f   ratio %.2f\n", Median(qtGrab),
                Median(qtGrab) / r);
    return 0;
}
