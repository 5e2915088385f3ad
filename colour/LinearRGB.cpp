#include "colour/LinearRGB.h"

#include <cmath>

namespace tp {

double SrgbToLinear(uint8_t channel) {
    return SrgbToLinear(channel / 255.0);
}

double SrgbToLinear(double s) {
    const double a = std::fabs(s);
    const double v = a <= 0.04045 ? a / 12.92 : std::pow((a + 0.055) / 1.055, 2.4);
    return s < 0 ? -v : v;
}

double LinearToSrgb(double linear) {
    const double a = std::fabs(linear);
    const double s = a <= 0.0031308 ? a * 12.92 : 1.055 * std::pow(a, 1 / 2.4) - 0.055;
    return linear < 0 ? -s : s;
}

} // namespace tp
