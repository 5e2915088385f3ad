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
    void SetRGB(TRGB c);
    void SetHSL(double hue, double saturation, double lightness);
    void SetHSLBytes(uint8_t hue, uint8_t saturation, uint8_t lightness);
    void Assign(const TPSPColor& other) { *this = other; }

    TRGB Color() const { return {red_, green_, blue_}; }
    uint8_t Red() const { return red_; }
    uint8_t Green() const { return green_; }
    uint8_t Blue() const { return blue_; }
    double Hue() const { return hue_; }
    double Saturation() const { return saturation_; }
    double Lightness() const { return lightness_; }
    uint8_t HueByte() const { return hueByte_; }
    uint8_t SaturationByte() const { return saturationByte_; }
    uint8_t LightnessByte() const { return lightnessByte_; }

private:
    void setBytesFromFractions();

    uint8_t red_ = 0, green_ = 0, blue_ = 0;
    double hue_ = 0, saturation_ = 0, lightness_ = 0;
    uint8_t hueByte_ = 0, saturationByte_ = 0, lightnessByte_ = 0;
};

} // namespace tp
