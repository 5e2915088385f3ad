#pragma once
#include <cmath>

namespace tp {

// Rounds to the nearest integer, ties to the even neighbour (0.5 -> 0,
// 1.5 -> 2, 2.5 -> 2, -0.5 -> 0). Independent of the floating-point
// environment's rounding mode.
inline long long Round(double x) {
    const double f = std::floor(x);
    const double diff = x - f;
    long long r = static_cast<long long>(f);
    if (diff > 0.5 || (diff == 0.5 && (r % 2 != 0))) ++r;
    return r;
}

} // namespace tp
