#pragma once
// How every benchmark reads its clock: the median of a run's timings, which
// one slow round on a shared machine does not move, and the time since a
// moment.
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace tp::bench {

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

inline double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

inline double UsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// One call of f, in microseconds.
inline double TimeUs(const std::function<void()>& f) {
    const auto t0 = Clock::now();
    f();
    return UsSince(t0);
}

// The median of `runs` timings of f, in microseconds.
inline double MedianUs(int runs, const std::function<void()>& f) {
    std::vector<double> t;
    t.reserve(static_cast<size_t>(std::max(runs, 0)));
    for (int i = 0; i < runs; ++i)
        t.push_back(TimeUs(f));
    return Median(std::move(t));
}

} // namespace tp::bench
