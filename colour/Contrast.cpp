#include "colour/Contrast.h"

#include "colour/LinearRGB.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace tp {

namespace {

constexpr double Thresholds[] = {3.0, 4.5, 7.0};

} // namespace

double RelativeLuminance(TRGB c) {
    return 0.2126 * SrgbToLinear(c.r) + 0.7152 * SrgbToLinear(c.g) + 0.0722 * SrgbToLinear(c.b);
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

TRGB StrongerOfBlackAndWhite(TRGB c) {
    const TRGB black{0, 0, 0}, white{255, 255, 255};
    return ContrastRatio(c, black) > ContrastRatio(c, white) ? black : white;
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

double LevelPassed(double ratio) {
    for (auto t = std::rbegin(Thresholds); t != std::rend(Thresholds); ++t)
        if (ratio >= *t) return *t;
    return 0;
}

std::string LevelName(double ratio) {
    const double level = LevelPassed(ratio);
    if (level >= 7.0) return "AAA";
    if (level >= 4.5) return "AA";
    if (level >= 3.0) return "AA large";
    return "fails AA";
}

bool FallsBelowLevel(double ratio, double seenRatio) {
    return seenRatio < LevelPassed(ratio);
}

std::string ContrastReport(TRGB text, TRGB back) {
    const double ratio = ContrastRatio(text, back);
    return "#" + HexCode(text) + " on #" + HexCode(back) + ": " + RatioText(ratio) + " (" +
           LevelName(ratio) + ")";
}

} // namespace tp
