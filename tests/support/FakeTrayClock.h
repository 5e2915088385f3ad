#pragma once
// A clock for tests of the tray's click rules.
#include "app/TrayClick.h"

#include <cstdint>

namespace tp {

// A clock for tests: time only moves when advance() is called.
class FakeTrayClock final : public TrayClock {
public:
    void start(int intervalMs) override {
        running_ = true;
        deadline_ = now_ + intervalMs;
        ++starts;
    }
    void stop() override { running_ = false; }
    // Moves time on, firing the timer if its deadline is passed.
    void advance(int ms, TrayClick& machine) {
        now_ += ms;
        if (running_ && now_ >= deadline_) {
            running_ = false;
            machine.timeout();
        }
    }
    bool running() const { return running_; }
    int starts = 0;

private:
    int64_t now_ = 0;
    int64_t deadline_ = 0;
    bool running_ = false;
};

} // namespace tp
