// Compares the two real screen readers on a live X display: Qt's grab,
// mapped through the logical/device rules, must deliver exactly the device
// pixels the X11 root window holds, whatever QT_SCALE_FACTOR says.
// usage: screen_reader_check LEFT TOP WIDTH HEIGHT (the area to probe)
#include "platform/QtScreenSource.h"
#include "platform/XcbScreenSource.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

using namespace tp;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s LEFT TOP WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const QRect area(std::atoi(argv[1]), std::atoi(argv[2]), std::atoi(argv[3]),
                     std::atoi(argv[4]));
    auto native = XcbScreenSource::create();
    if (!native) {
        std::fprintf(stderr, "no X11 reader on platform %s\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    QtScreenSource viaQt;
    std::printf("scale %.2f, primary %d x %d device pixels\n",
                QGuiApplication::primaryScreen()->devicePixelRatio(), viaQt.primaryRect().width(),
                viaQt.primaryRect().height());
    int bad = 0, probes = 0;
    const QSize sizes[] = {{32, 24}, {1, 1}, {7, 5}, {33, 25}};
    for (int y = area.top(); y + 32 < area.bottom(); y += 5)
        for (int x = area.left(); x + 40 < area.right(); x += 7) {
            const QSize size = sizes[(x + y) % 4];
            const QRect r(QPoint(x, y), size);
            const QImage a = native->grab(r), b = viaQt.grab(r);
            ++probes;
            if (a != b) {
                if (++bad <= 5)
                    std::printf("differs at %d,%d %dx%d\n", x, y, size.width(), size.height());
            }
            const auto pa = native->pixel(r.topLeft()), pb = viaQt.pixel(r.topLeft());
            if (pa != pb && ++bad <= 5) std::printf("pixel differs at %d,%d\n", x, y);
        }
    std::printf("%d probes, %d differences\n", probes, bad);
    return bad == 0 ? 0 : 1;
}
