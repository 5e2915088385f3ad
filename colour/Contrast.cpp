#include "colour/Contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tp {

namespace {

double Linear(uint8_t channel) {
    const double s = channel / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

constexpr double Thresholds[] = {3.0, 4.5, 7.0};

} // namespace

double RelativeLuminance(TRGB c) {
    return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(TRGB a, TRGB b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TRGB LegibleOn(TRGB back, TRGB preferred) {
    if (ContrastRatio(preferred, back) >= 3.0) return preferred;
    const TRGB black{0, 0, 0}, white{255, 255, 255};
    return ContrastRatio(black, back) >= ContrastRatio(white, back) ? black : white;
}

ContrastMarks MarksFor(double ratio) {
    return {ratio >= 4.5, ratio >= 3.0, ratio >= 7.0, ratio >= 4.5};
}

std::string RatioText(double ratio) {
    double shown = std::round(ratio * 100) / 100;
    for (const double t : Thresholds)
        if (ratio < t && shown >= t) shown = std::floor(ratio * 100) / 100;
    char buf[24];
    std::snprintf(buf, sizeof buf, "%.2f:1", shown);
    return buf;
}

} // namespace tp
