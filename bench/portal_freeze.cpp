// Time from a click on the pick swatch to the frozen overlay on the screen
// on a Wayland desktop, split into the portal's answer (request to Response,
// which includes the portal's own capture), loading the picture, and the
// overlay's first paint; against a screenshot tool writing the same screen
// plus loading its file, measured alternately in the same run:
//     portal_freeze [ROUNDS [TOOL ARGS...]]
// runs TOOL ARGS... FILE (by default `grim FILE`). Needs a Wayland session
// with the desktop portal: bench/run_portal_freeze.sh starts a headless sway,
// bench/run_portal_freeze_gnome.sh a headless GNOME Shell (against
// `gnome-screenshot -f FILE`).
#include "Timing.h"
#include "app/mainRGB.h"
#include "colour/Swatch.h"
#include "platform/PortalScreenSource.h"
#include "sampling/PickOverlay.h"
#include "support/Child.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QEventLoop>
#include <QImageReader>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace tp;
using bench::Clock;
using bench::Median;
using bench::MsSince;

namespace {
void click(QWidget* w, QEvent::Type type) {
    QMouseEvent e(type, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                  type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fprintf(stderr, "portal_freeze needs a Wayland session (platform is %s)\n",
                     qPrintable(QGuiApplication::platformName()));
        return 2;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QStringList tool{QStringLiteral("grim")};
    if (argc > 2) {
        tool.clear();
        for (int i = 2; i < argc; ++i)
            tool << QString::fromLocal8Bit(argv[i]);
    }
    const QString toolName = tool.join(QLatin1Char(' '));
    // The seams a pick does not touch are the tests' fakes.
    test::TestServices fakes;
    PortalScreenSource screen(true);
    Services s = fakes.services();
    s.screen = &screen;
    TfrmMain frm(s);
    QWidget* swatch = test::Child(&frm, "lblColor");
    frm.show();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();

    std::vector<double> total, reply, decode, paint, baseline;
    const QString shot = fakes.scratch.filePath(QStringLiteral("baseline.png"));
    // One unmeasured round each: the portal and its back ends start on the
    // first request.
    for (int i = -1; i < rounds; ++i) {
        // Ours: press and release on the swatch until the overlay has painted.
        QEventLoop painted;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &painted, &QEventLoop::quit);
        const auto t0 = Clock::now();
        click(swatch, QEvent::MouseButtonPress);
        click(swatch, QEvent::MouseButtonRelease);
        auto* overlay = frm.findChild<TPickOverlay*>(QStringLiteral("PickOverlay"));
        if (!overlay) {
            const QStringList& said = fakes.errors.plainMessages;
            std::fprintf(stderr, "no overlay: %s\n", qPrintable(said.value(said.size() - 1)));
            return 1;
        }
        QObject::connect(overlay, &TPickOverlay::firstPainted, &painted, &QEventLoop::quit);
        guard.start(10000);
        painted.exec();
        const double all = MsSince(t0);
        overlay->Cancel();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Baseline: the tool writes the same screen, then the file is loaded.
        const auto b0 = Clock::now();
        if (QProcess::execute(tool.first(), tool.mid(1) << shot) != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(toolName));
            return 1;
        }
        QImage img = QImageReader(shot).read();
        if (img.isNull()) return 1;
        img = img.convertToFormat(QImage::Format_RGB32);
        const double base = MsSince(b0);
        if (i < 0) continue;
        const double r = static_cast<double>(screen.LastTiming().replyUs) / 1000.0;
        const double d = static_cast<double>(screen.LastTiming().decodeUs) / 1000.0;
        total.push_back(all);
        reply.push_back(r);
        decode.push_back(d);
        paint.push_back(all - r - d);
        baseline.push_back(base);
    }
    const double ours = Median(total), base = Median(baseline);
    std::printf("click to frozen overlay on screen, median of %d (ms): %.1f\n", rounds, ours);
    std::printf("  portal reply %.1f, decode %.1f, overlay and first paint %.1f\n", Median(reply),
                Median(decode), Median(paint));
    std::printf("%s writing the screen plus decoding it, median of %d (ms): %.1f\n",
                qPrintable(toolName), rounds, base);
    std::printf("ratio (ours / %s): %.2f (target 1.30)\n", qPrintable(tool.first()), ours / base);
    return 0;
}
