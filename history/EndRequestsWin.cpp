// Windows: the console's control events, for a start from a console. Ctrl+C
// and Ctrl+Break ask the program to stop as closing its window does. When
// the console closes, or the user logs off or shuts down, the process ends
// as soon as the handler returns: the handler saves first.
#include "history/EndRequests.h"
#include "history/HistorySession.h"

#include <QMetaObject>

#include <atomic>
#include <mutex>

#include <windows.h>

namespace tp {

namespace {
std::mutex watchMutex;
EndRequests* watch = nullptr;
std::function<void()>* watchTerminate = nullptr;
std::atomic<bool> pending{false};
bool handlerInstalled = false;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onControlEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: {
        std::lock_guard<std::mutex> lock(watchMutex);
        if (watch && watchTerminate) {
            std::function<void()>* terminate = watchTerminate;
            QMetaObject::invokeMethod(
                watch, [terminate] { (*terminate)(); }, Qt::QueuedConnection);
        } else {
            pending = true;
        }
        return TRUE;
    }
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        RunExitSave();
        return FALSE;
    default:
        return FALSE;
    }
}

void installHandler() {
    if (!handlerInstalled) handlerInstalled = SetConsoleCtrlHandler(onControlEvent, TRUE) != 0;
}
} // namespace

void HoldEndSignals() {
    installHandler();
}

void ReleaseEndSignals() {
    if (handlerInstalled) SetConsoleCtrlHandler(onControlEvent, FALSE);
    handlerInstalled = false;
    // Ctrl+C came meanwhile: it ends the process as it would have.
    if (pending.exchange(false)) ExitProcess(STATUS_CONTROL_C_EXIT);
}

struct EndRequests::Private {
    std::function<void()> terminate;
};

EndRequests::EndRequests(std::function<void()> terminate, QObject* parent)
    : QObject(parent), d_(std::make_unique<Private>()) {
    d_->terminate = std::move(terminate);
    {
        std::lock_guard<std::mutex> lock(watchMutex);
        watch = this;
        watchTerminate = &d_->terminate;
    }
    installHandler();
    if (pending.exchange(false))
        QMetaObject::invokeMethod(
            this, [this] { d_->terminate(); }, Qt::QueuedConnection);
}

EndRequests::~EndRequests() {
    std::lock_guard<std::mutex> lock(watchMutex);
    if (watch == this) {
        watch = nullptr;
        watchTerminate = nullptr;
    }
}

} // namespace tp
