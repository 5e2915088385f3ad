#include "colour/ColourVision.h"

#include "colour/LinearRGB.h"

#include <algorithm>
#include <cmath>

namespace tp {

namespace {

constexpr DeficiencyInfo Infos[] = {
    {Deficiency::Protanopia, "红色盲"},
    {Deficiency::Deuteranopia, "绿色盲"},
    {Deficiency::Tritanopia, "蓝色盲"},
};

using Matrix = std::array<std::array<double, 3>, 3>;

// The matrices the authors published with the paper for severity 1.0.
constexpr Matrix Protanopia{{{0.152286, 1.052583, -0.204868},
                             {0.114503, 0.786281, 0.099216},
                             {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix Deuteranopia{{{0.367322, 0.860646, -0.227968},
                               {0.280085, 0.672501, 0.047413},
                               {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix Tritanopia{{{1.255528, -0.076749, -0.178779},
                             {-0.078411, 0.930809, 0.147602},
                             {0.004733, 0.691367, 0.303900}}};

const Matrix& MatrixOf(Deficiency d) {
    switch (d) {
    case Deficiency::Protanopia:
        return Protanopia;
    case Deficiency::Deuteranopia:
        return Deuteranopia;
    case Deficiency::Tritanopia:
        break;
    }
    return Tritanopia;
}

uint8_t Encode(double linear) {
    const double s = LinearToSrgb(std::clamp(linear, 0.0, 1.0));
    return static_cast<uint8_t>(std::clamp(std::round(s * 255), 0.0, 255.0));
}

} // namespace

std::span<const DeficiencyInfo> Deficiencies() {
    return Infos;
}

std::array<double, 3> SimulateLinear(Deficiency d, const std::array<double, 3>& linear) {
    const Matrix& m = MatrixOf(d);
    std::array<double, 3> out{};
    for (size_t i = 0; i < 3; ++i)
        out[i] = m[i][0] * linear[0] + m[i][1] * linear[1] + m[i][2] * linear[2];
    return out;
}

TRGB Simulate(Deficiency d, TRGB c) {
    const auto out = SimulateLinear(d, {SrgbToLinear(c.r), SrgbToLinear(c.g), SrgbToLinear(c.b)});
    return {Encode(out[0]), Encode(out[1]), Encode(out[2])};
}

} // namespace tp
