#pragma once
// The system's own ways of asking the process to end, one file per system:
// POSIX signals, Windows console control events. HistorySession.cpp holds
// what every system shares.
#include <QObject>

#include <functional>
#include <memory>

namespace tp {

// Runs the living session's save once, from whichever thread gets there
// first (HistorySession.cpp).
void RunExitSave();

// While it lives, hands every end request of the system to `terminate` on
// the thread that made it, through its event loop; a request that came
// while the requests were only held (HoldEndSignals) is handed on at once.
class EndRequests : public QObject {
public:
    EndRequests(std::function<void()> terminate, QObject* parent);
    ~EndRequests() override;

    struct Private;

private:
    std::unique_ptr<Private> d_;
};

} // namespace tp
