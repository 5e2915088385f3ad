#include "history/HistorySession.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace tp {

namespace {
// The self-pipe: the handler only writes one byte (async-signal-safe); the
// event loop reads it and does the real work outside the handler. A byte
// written before any event loop runs waits in the pipe.
int signalPipe[2] = {-1, -1};
constexpr int EndSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
struct sigaction previousActions[std::size(EndSignals)];
bool signalsHeld = false;

extern "C" void onEndSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool openSignalPipe() {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        signalPipe[0] = signalPipe[1] = -1;
    return signalPipe[0] >= 0;
}

void catchEndSignals(struct sigaction* previous) {
    struct sigaction sa {};
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(EndSignals); ++i)
        ::sigaction(EndSignals[i], &sa, previous ? &previous[i] : nullptr);
}

// What the living session saves when the process ends behind its back: run
// once, from whichever thread gets there first. A thread that gets there
// while the save runs elsewhere waits for it, for it may end the process
// the moment it returns (on Wayland, Qt's event thread and the main thread
// both see the broken connection).
std::recursive_mutex exitSaveMutex;
std::function<void()> exitSave;

void runExitSave() {
    std::lock_guard<std::recursive_mutex> lock(exitSaveMutex);
    if (const std::function<void()> save = std::exchange(exitSave, {})) save();
}

extern "C" void runExitSaveAtExit() {
    runExitSave();
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
        runExitSave();
    if (previousMessageHandler) previousMessageHandler(type, context, text);
}
} // namespace

void HoldEndSignals() {
    if (!openSignalPipe()) return;
    catchEndSignals(nullptr);
    signalsHeld = true;
}

void ReleaseEndSignals() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (const int sig : EndSignals)
        ::sigaction(sig, &sa, nullptr);
    signalsHeld = false;
    char pending[16];
    ssize_t n = 0;
    while (signalPipe[0] >= 0 && (n = ::read(signalPipe[0], pending, sizeof pending)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            ::raise(pending[i]);
}

HistorySession::HistorySession(std::function<void()> terminate, std::function<void()> sessionEnding,
                               QObject* parent)
    : QObject(parent), terminate_(std::move(terminate)), sessionEnding_(std::move(sessionEnding)) {
    if (openSignalPipe()) {
        notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &HistorySession::signalArrived);
        if (!signalsHeld) {
            catchEndSignals(previousActions);
            installedHandlers_ = true;
        }
    }
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
    if (installedHandlers_) {
        for (size_t i = 0; i < std::size(EndSignals); ++i)
            ::sigaction(EndSignals[i], &previousActions[i], nullptr);
    }
}

void HistorySession::signalArrived() {
    char buf[16];
    while (::read(signalPipe[0], buf, sizeof buf) > 0) {
    }
    terminate_();
}

} // namespace tp
