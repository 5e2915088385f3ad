#pragma once
// sRGB's transfer curve: an 8-bit channel as the light it stands for (0 to
// 1, linear), and back. Contrast, OKLCH and the colour-vision previews all
// work on linear light.
#include <cstdint>

namespace tp {

double SrgbToLinear(uint8_t channel);
double SrgbToLinear(double encoded); // 0 to 1
// A linear value to the encoded channel, 0 to 1 for values in range (not
// clamped: callers judge what lies outside).
double LinearToSrgb(double linear);

} // namespace tp
