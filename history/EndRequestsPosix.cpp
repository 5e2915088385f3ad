// POSIX: the terminating signals, through a self-pipe.
#include "history/EndRequests.h"
#include "history/HistorySession.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
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

struct EndRequests::Private {
    std::function<void()> terminate;
    QSocketNotifier* notifier = nullptr;
    bool installedHandlers = false;
};

EndRequests::EndRequests(std::function<void()> terminate, QObject* parent)
    : QObject(parent), d_(std::make_unique<Private>()) {
    d_->terminate = std::move(terminate);
    if (!openSignalPipe()) return;
    d_->notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(d_->notifier, &QSocketNotifier::activated, this, [this] {
        char buf[16];
        while (::read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        d_->terminate();
    });
    if (!signalsHeld) {
        catchEndSignals(previousActions);
        d_->installedHandlers = true;
    }
}

EndRequests::~EndRequests() {
    if (d_->installedHandlers) {
        for (size_t i = 0; i < std::size(EndSignals); ++i)
            ::sigaction(EndSignals[i], &previousActions[i], nullptr);
    }
}

} // namespace tp
