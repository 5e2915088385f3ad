#pragma once
// The program's colour type, TRGB, and what every view of a colour needs:
// its inverse, its code, its web-safe neighbour. Inside the program a colour
// is a TRGB; TColor is the 32-bit packing with red in the lowest byte, kept
// for the conversions whose interface is that packing (SplitColor).
#include "base/Rgb.h"

#include <cstdint>
#include <string>

namespace tp {

using TColor = uint32_t; // 0x00BBGGRR

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
    return TColor{r} | (TColor{g} << 8) | (TColor{b} << 16);
}
constexpr uint8_t GetRValue(TColor c) {
    return static_cast<uint8_t>(c & 0xFF);
}
constexpr uint8_t GetGValue(TColor c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
constexpr uint8_t GetBValue(TColor c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}
constexpr TRGB ToRGB(TColor c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Text and marks drawn over a colour use its inverse so they stay readable.
constexpr TRGB InverseColor(TRGB c) {
    return {static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
            static_cast<uint8_t>(255 - c.b)};
}

// Six upper-case hexadecimal digits RRGGBB, no "#".
std::string HexCode(TRGB c);

// Nearest multiple of 51 (the web-safe steps 0, 51, ..., 255).
uint8_t WebSafeChannel(uint8_t c);
TRGB WebSafe(TRGB c);

} // namespace tp
