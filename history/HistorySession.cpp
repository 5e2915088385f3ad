#include "history/HistorySession.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tp {

namespace {
// The self-pipe: the handler only writes one byte (async-signal-safe); the
// event loop reads it and does the real work outside the handler.
int signalPipe[2] = {-1, -1};

extern "C" void onTerminateSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

struct sigaction previousTerm, previousInt;
} // namespace

HistorySession::HistorySession(std::function<void()> terminate, std::function<void()> sessionEnding,
                               QObject* parent)
    : QObject(parent), terminate_(std::move(terminate)), sessionEnding_(std::move(sessionEnding)) {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        signalPipe[0] = signalPipe[1] = -1;
    if (signalPipe[0] >= 0) {
        notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &HistorySession::signalArrived);
        struct sigaction sa {};
        sa.sa_handler = onTerminateSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &sa, &previousTerm);
        ::sigaction(SIGINT, &sa, &previousInt);
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { sessionEnding_(); });
        connect(gui, &QCoreApplication::aboutToQuit, this, [this] { sessionEnding_(); });
    }
}

HistorySession::~HistorySession() {
    if (notifier_) {
        ::sigaction(SIGTERM, &previousTerm, nullptr);
        ::sigaction(SIGINT, &previousInt, nullptr);
    }
}

void HistorySession::signalArrived() {
    char buf[16];
    while (::read(signalPipe[0], buf, sizeof buf) > 0) {
    }
    terminate_();
}

} // namespace tp
