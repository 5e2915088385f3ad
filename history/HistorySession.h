#pragma once
// Keeps the history however the process is ended from outside: on Linux
// SIGTERM, SIGINT, SIGHUP and SIGQUIT (a logout or a service manager asking
// it to stop, Ctrl+C or Ctrl+\ in a terminal, the terminal closing) and the
// display connection breaking (the X server or the Wayland compositor going
// away); on Windows the console's Ctrl+C, Ctrl+Break and its closing, and
// log-off or shutdown (WM_ENDSESSION); everywhere the session manager's end
// of session. Each of these would end the
// process without the main window's close handler, and the picks of the run
// would be lost.
#include <QObject>

#include <functional>

namespace tp {

// Makes the terminating signals wait for a HistorySession instead of ending
// the process: each one is noted at once and acted on when the session's
// event loop runs. Call it first thing in main(), so that a signal that
// arrives while the application and its windows are still being built is
// not lost.
void HoldEndSignals();
// For a run that keeps nothing a signal could lose: the terminating signals
// end the process again as they do by default, one that arrived meanwhile
// included.
void ReleaseEndSignals();

class HistorySession : public QObject {
    Q_OBJECT
public:
    // terminate: asked to stop; close the main window (which saves) and let
    // the event loop end. sessionEnding: the session or the display ends;
    // save now, the process is about to end without any window closing (it
    // may be called from another thread, or from exit()).
    HistorySession(std::function<void()> terminate, std::function<void()> sessionEnding,
                   QObject* parent = nullptr);
    ~HistorySession() override;

private:
    std::function<void()> terminate_;
    std::function<void()> sessionEnding_;
};

} // namespace tp
