#include "history/HistorySession.h"

#include "history/EndRequests.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include <cstdlib>
#include <mutex>
#include <utility>

namespace tp {

namespace {
// What the living session saves when the process ends behind its back: run
// once, from whichever thread gets there first. A thread that gets there
// while the save runs elsewhere waits for it, for it may end the process
// the moment it returns (on Wayland, Qt's event thread and the main thread
// both see the broken connection).
std::recursive_mutex exitSaveMutex;
std::function<void()> exitSave;

extern "C" void runExitSaveAtExit() {
    RunExitSave();
}

QtMessageHandler previousMessageHandler = nullptr;

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // When the display goes away, Qt warns and ends the process: with _exit()
    // on Wayland, which runs no exit handler, and with exit() on X11, whose
    // exit handlers run after much of Qt (timers, and with them the session
    // bus that a failure notice needs) is already gone. The warning is the
    // last moment at which all of it still works.
    const bool serious = type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
    if (serious && (text.startsWith(QLatin1String("The Wayland connection")) ||
                    text.startsWith(QLatin1String("The X11 connection broke"))))
        RunExitSave();
    if (previousMessageHandler) previousMessageHandler(type, context, text);
}
} // namespace

void RunExitSave() {
    std::lock_guard<std::recursive_mutex> lock(exitSaveMutex);
    if (const std::function<void()> save = std::exchange(exitSave, {})) save();
}

HistorySession::HistorySession(std::function<void()> terminate, std::function<void()> sessionEnding,
                               QObject* parent)
    : QObject(parent), terminate_(std::move(terminate)), sessionEnding_(std::move(sessionEnding)) {
    new EndRequests([this] { terminate_(); }, this);
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { sessionEnding_(); });
        connect(gui, &QCoreApplication::aboutToQuit, this, [this] { sessionEnding_(); });
    }
    // Any other way out through exit() still saves.
    [[maybe_unused]] static const bool atExitRegistered = std::atexit(runExitSaveAtExit) == 0;
    {
        std::lock_guard<std::recursive_mutex> lock(exitSaveMutex);
        exitSave = sessionEnding_;
    }
    previousMessageHandler = qInstallMessageHandler(watchMessages);
}

HistorySession::~HistorySession() {
    qInstallMessageHandler(previousMessageHandler);
    {
        std::lock_guard<std::recursive_mutex> lock(exitSaveMutex);
        exitSave = {};
    }
}

} // namespace tp
