#pragma once
// A colour as people with one kind of cone missing see it: the model of
// Machado, Oliveira and Fernandes (2009) at full severity, a 3 x 3 matrix on
// linear sRGB for each of the three dichromacies.
#include "colour/ColorTypes.h"

#include <array>
#include <span>

namespace tp {

enum class Deficiency { Protanopia, Deuteranopia, Tritanopia };

struct DeficiencyInfo {
    Deficiency deficiency;
    const char* name; // shown beside its preview
};
// The three, in the order the previews show them.
std::span<const DeficiencyInfo> Deficiencies();

// Linear sRGB (0 to 1) through the model, unclamped: a strong colour can
// come out a little outside the cube.
std::array<double, 3> SimulateLinear(Deficiency d, const std::array<double, 3>& linear);

// An 8-bit colour as seen with the deficiency: through linear light and the
// model, clamped into sRGB, rounded to 8 bits.
TRGB Simulate(Deficiency d, TRGB c);

} // namespace tp
