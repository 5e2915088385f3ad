#include "app/OnePick.h"

#include "colour/ColorTypes.h"
#include "history/HistoryFile.h"
#include "platform/QtScreenSource.h"
#include "sampling/PickOverlay.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>

namespace tp {

namespace {

// Pushes the colour into the history file as a pick in the main window
// would, but only where that changes nothing the user would miss: a file
// that cannot be read whole is left alone, and so is one that cannot be
// written.
void PushIntoHistoryFile(const std::string& path, TColor c) {
    const QFileInfo info(QString::fromStdString(path));
    const bool writable =
        info.exists() ? info.isWritable() : QFileInfo(info.absolutePath()).isWritable();
    if (!writable) return;
    TRGB current{255, 255, 255};
    HistoryRing ring;
    const HistoryIo loaded = LoadHistoryFile(path, current, ring);
    if (!loaded.ok) return;
    ring.Push(c);
    SaveHistoryFile(path, ToRGB(c), ring);
}

void PrintColour(TColor c) {
    std::printf("#%s\n", HexCode(ToRGB(c)).c_str());
    std::fflush(stdout);
}

TColor FromQRgb(QRgb c) {
    return RGB(uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c)));
}

} // namespace

int RunOnePick(const std::string& historyPath) {
    std::string path = historyPath;
    if (path.empty())
        path = QDir(QCoreApplication::applicationDirPath())
                   .filePath(QString::fromUtf8(HistoryFileName))
                   .toStdString();
    auto screen = CreateScreenSource();
    const QString why = screen->unavailableReason();
    FreezeResult f;
    if (why.isEmpty())
        f = screen->freezeDesktop(true);
    else
        f.error = why;
    if (f.pickedColour) {
        const TColor c = FromQRgb(*f.pickedColour);
        PrintColour(c);
        PushIntoHistoryFile(path, c);
        return 0;
    }
    if (!f.frame) {
        std::fprintf(stderr, "%s\n", f.error.toLocal8Bit().constData());
        return 2;
    }
    int code = 1;
    TPickOverlay overlay(std::move(*f.frame));
    overlay.OnPick = [&](QPoint, QRgb colour) {
        const TColor c = FromQRgb(colour);
        PrintColour(c);
        PushIntoHistoryFile(path, c);
        code = 0;
    };
    QObject::connect(&overlay, &TPickOverlay::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    overlay.show();
    QGuiApplication::exec();
    return code;
}

} // namespace tp
