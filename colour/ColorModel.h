#pragma once
// The colour models of the advanced colour dialog: RGB bytes, HSL fractions
// (the wheel) and the dialog's H, S, L edit values, which follow the HSV
// model (the "L" edit holds the value, not the HSL lightness). Plain
// arithmetic; every rounding is half to even (tp::Round).
#include "colour/ColorTypes.h"

#include <cstdint>
#include <optional>

namespace tp {

struct HSLFractions {
    double Hue = 0, Saturation = 0, Lightness = 0;
};

// The edit values: H in degrees 0..359, S and L (the HSV value) in percent.
// A grey has no hue; the caller decides what the H edit shows for it.
struct HSVValues {
    std::optional<int> H;
    int S = 0, L = 0;
};

// R from bits 0-7, G from 8-15, B from 16-23; the top byte is ignored.
TRGB SplitColor(TColor c);

HSLFractions RGBToHSL(uint8_t r, uint8_t g, uint8_t b);
// Hue 1.0 is accepted and means red, like 0.
TRGB HSLToRGB(double hue, double saturation, double lightness);

HSVValues RGBToHSV(uint8_t r, uint8_t g, uint8_t b);
TRGB HSVToRGB(int h, int s, int l);

// One colour held as RGB bytes, HSL fractions and HSL bytes at once, each
// form consistent with the one set last.
class TPSPColor {
public:
    uint8_t Red = 0, Green = 0, Blue = 0;
    double Hue = 0, Saturation = 0, Lightness = 0;
    uint8_t HueByte = 0, SaturationByte = 0, LightnessByte = 0;

    void SetRGB(TRGB c);
    void SetHSL(double hue, double saturation, double lightness);
    void SetHSLBytes(uint8_t hue, uint8_t saturation, uint8_t lightness);
    void Assign(const TPSPColor& other) { *this = other; }

    TRGB Color() const { return {Red, Green, Blue}; }

private:
    void setBytesFromFractions();
};

} // namespace tp
