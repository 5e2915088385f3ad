#include "colour/ColorTypes.h"

#include <cmath>
#include <cstdio>

namespace tp {

std::string HexCode(TRGB c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%.2X%.2X%.2X", c.r, c.g, c.b);
    return buf;
}

uint8_t WebSafeChannel(uint8_t c) {
    // c / 51 never lies exactly half-way between two integers, so the
    // rounding mode for ties cannot matter here.
    return static_cast<uint8_t>(std::lround(c / 51.0) * 51);
}

TRGB WebSafe(TRGB c) {
    return {WebSafeChannel(c.r), WebSafeChannel(c.g), WebSafeChannel(c.b)};
}

} // namespace tp
