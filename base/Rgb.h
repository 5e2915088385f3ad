#pragma once
// The program's one colour type: three bytes, red, green, blue. It lives on
// the ground floor so that the screen seam can hand a pixel over in it.
#include <cstdint>

namespace tp {

struct TRGB {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const TRGB&, const TRGB&) = default;
};

} // namespace tp
