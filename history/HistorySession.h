#pragma once
// Keeps the history when the program is ended from outside: SIGTERM and
// SIGINT (a logout's or a service manager's request to stop, Ctrl+C in a
// terminal) and the session manager's end of session would otherwise end
// the process without the main window's close handler, and the picks of
// the run would be lost.
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tp {

class HistorySession : public QObject {
    Q_OBJECT
public:
    // terminate: asked to stop; close the main window (which saves) and let
    // the event loop end. sessionEnding: the desktop session ends; save now,
    // the process may be killed before any window closes.
    HistorySession(std::function<void()> terminate, std::function<void()> sessionEnding,
                   QObject* parent = nullptr);
    ~HistorySession() override;

private:
    void signalArrived();

    std::function<void()> terminate_;
    std::function<void()> sessionEnding_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tp
