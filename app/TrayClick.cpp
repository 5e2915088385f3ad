#include "app/TrayClick.h"

namespace tp {

void TrayClick::leftDown() {
    clock_.stop();
    clock_.start(interval_);
    timerRunning_ = true;
    timerExpired_ = false;
    clickStarted_ = true;
}

void TrayClick::leftUp() {
    const bool started = clickStarted_;
    clickStarted_ = false;
    if (!started) return;
    clickReady_ = true;
    // Held past the double-click time: no second press can follow any more,
    // so the click is reported now rather than left for the timer.
    if (timerExpired_) {
        clickReady_ = false;
        if (onClick_) onClick_();
    }
}

void TrayClick::leftDoubleClick() {
    clickStarted_ = false;
    clickReady_ = false;
    doubleClick_ = true;
    if (onDoubleClick_) onDoubleClick_();
}

void TrayClick::timeout() {
    clock_.stop();
    timerRunning_ = false;
    timerExpired_ = true;
    const bool report = !doubleClick_ && clickReady_;
    doubleClick_ = false;
    if (report) {
        clickReady_ = false;
        if (onClick_) onClick_();
    }
}

} // namespace tp
