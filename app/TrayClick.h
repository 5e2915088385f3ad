#pragma once
// Turns the tray icon's raw left-button events into "click" and "double
// click". A single click is only reported once the double-click time has
// passed after the press (or at the release, when the button was held longer
// than that), so that the two presses of a double click never also count as
// a click. Display-free: the timer is reached through a clock that tests
// replace.
#include <cstdint>
#include <functional>
#include <utility>

namespace tp {

// Time and a one-shot timer, as the click machine needs them.
class TrayClock {
public:
    virtual ~TrayClock() = default;
    // Starts (or restarts) the one-shot timer; it calls TrayClick::timeout().
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

class TrayClick {
public:
    // doubleClickMs is read once, as the system's setting at creation.
    TrayClick(TrayClock& clock, int doubleClickMs) : clock_(clock), interval_(doubleClickMs) {}

    // What a click and a double click call.
    void SetOnClick(std::function<void()> f) { onClick_ = std::move(f); }
    void SetOnDoubleClick(std::function<void()> f) { onDoubleClick_ = std::move(f); }

    void leftDown();
    void leftUp();
    // The second press of a double click. Toolkits deliver it after the
    // ordinary press event of that same press, so that press must not start
    // a click of its own.
    void leftDoubleClick();
    // The click timer ran out.
    void timeout();

    int interval() const { return interval_; }
    bool timerRunning() const { return timerRunning_; }

private:
    TrayClock& clock_;
    int interval_;
    std::function<void()> onClick_;
    std::function<void()> onDoubleClick_;
    bool timerRunning_ = false;
    bool timerExpired_ = true; // no press yet: nothing is waiting on the timer
    bool clickStarted_ = false;
    bool clickReady_ = false;
    bool doubleClick_ = false;
};

} // namespace tp
