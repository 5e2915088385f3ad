#include "app/OnePick.h"

#include "base/AppPaths.h"
#include "colour/ColorTypes.h"
#include "history/HistoryFile.h"
#include "platform/QtScreenSource.h"
#include "platform/SingleInstance.h"
#include "sampling/PickOverlay.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace tp {

namespace {

void NotKept(const std::string& why) {
    std::fprintf(stderr, "tintpick: the colour was not kept in the history: %s\n", why.c_str());
}

// Pushes the colour into the history file as a pick in the main window
// would. A file that cannot be read whole is left alone, and so is one that
// cannot be written; either is said on standard error, where the script
// that started the pick sees it.
void PushIntoHistoryFile(const std::string& path, TRGB c) {
    TRGB current{255, 255, 255};
    HistoryRing ring;
    const HistoryIo loaded = LoadHistoryFile(path, current, ring);
    if (!loaded.ok || loaded.refused != HistoryRefusal::None) {
        NotKept(loaded.error.empty() ? path + " cannot be read" : loaded.error);
        return;
    }
    ring.Push(c);
    const HistoryIo saved = SaveHistoryFile(path, c, ring);
    if (!saved.ok) NotKept(saved.error);
}

// A running instance writes its own history over the file when it ends, so
// the colour goes to it; only when none runs is the file written, while no
// instance can start and read it.
void KeepInHistory(const AppPaths& paths, TRGB c) {
    SingleInstance instance;
    switch (instance.deliverColour(paths, QString::fromStdString(HexCode(c)))) {
    case SingleInstance::Delivery::Delivered:
        return;
    case SingleInstance::Delivery::NoInstance:
        PushIntoHistoryFile(paths.history, c);
        return;
    case SingleInstance::Delivery::Failed:
        NotKept(instance.problem().toStdString());
        return;
    }
}

void PrintColour(TRGB c) {
    std::printf("#%s\n", HexCode(c).c_str());
    std::fflush(stdout);
}

} // namespace

int RunOnePick(const AppPaths& paths) {
    auto screen = CreateScreenSource();
    const QString why = screen->unavailableReason();
    FreezeResult f;
    if (why.isEmpty())
        f = screen->freezeDesktop(true);
    else
        f.error = why;
    if (f.pickedColour) {
        const TRGB c = FromQRgb(*f.pickedColour);
        PrintColour(c);
        KeepInHistory(paths, c);
        return 0;
    }
    if (!f.frame) {
        std::fprintf(stderr, "%s\n", f.error.toLocal8Bit().constData());
        return 2;
    }
    int code = 1;
    TPickOverlay overlay(std::move(*f.frame));
    QObject::connect(&overlay, &TPickOverlay::picked, [&](QPoint, TRGB colour) {
        PrintColour(colour);
        KeepInHistory(paths, colour);
        code = 0;
    });
    QObject::connect(&overlay, &TPickOverlay::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    overlay.show();
    QGuiApplication::exec();
    return code;
}

} // namespace tp
