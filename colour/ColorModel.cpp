#include "colour/ColorModel.h"

#include "base/Rounding.h"

#include <algorithm>
#include <cmath>

namespace tp {

namespace {

uint8_t ToByte(double v) {
    // The formulas keep v within 0..255; the clamp only guards the cast.
    const long long r = Round(v);
    return static_cast<uint8_t>(std::clamp<long long>(r, 0, 255));
}

double HueToChannel(double m1, double m2, double x) {
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    double v;
    if (6 * x < 1)
        v = m1 + (m2 - m1) * x * 6;
    else if (2 * x < 1)
        v = m2;
    else if (3 * x < 2)
        v = m1 + (m2 - m1) * (2.0 / 3.0 - x) * 6;
    else
        v = m1;
    return v * 255;
}

} // namespace

TRGB SplitColor(TColor c) {
    return ToRGB(c);
}

HSLFractions RGBToHSL(uint8_t R, uint8_t G, uint8_t B) {
    const double r = R / 255.0, g = G / 255.0, b = B / 255.0;
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    HSLFractions out;
    out.Lightness = (mx + mn) / 2;
    if (mx == mn) return out;
    const double d = mx - mn;
    out.Saturation = out.Lightness < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    double h;
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    out.Hue = h / 6;
    if (out.Hue < 0) out.Hue += 1;
    return out;
}

TRGB HSLToRGB(double hue, double saturation, double lightness) {
    if (saturation == 0) {
        const uint8_t v = ToByte(lightness * 255);
        return {v, v, v};
    }
    const double L = lightness, S = saturation;
    const double m2 = L <= 0.5 ? L * (1 + S) : L + S - L * S;
    const double m1 = 2 * L - m2;
    return {ToByte(HueToChannel(m1, m2, hue + 1.0 / 3.0)), ToByte(HueToChannel(m1, m2, hue)),
            ToByte(HueToChannel(m1, m2, hue - 1.0 / 3.0))};
}

HSVValues RGBToHSV(uint8_t r, uint8_t g, uint8_t b) {
    const int mx = std::max({r, g, b});
    const int mn = std::min({r, g, b});
    const int d = mx - mn;
    HSVValues out;
    out.L = static_cast<int>(Round(mx / 255.0 * 100));
    if (d == 0) return out;
    out.S = static_cast<int>(Round(static_cast<double>(d) / mx * 100));
    // 359, not 360: the H edit's range ends at 359, so pure blue shows 239.
    out.H = static_cast<int>(Round(RGBToHSL(r, g, b).Hue * 359));
    return out;
}

TRGB HSVToRGB(int H, int S, int L) {
    // 360 here, unlike the 359 of RGBToHSV.
    const double h = H / 360.0, s = S / 100.0;
    const double v = static_cast<double>(L * 255) / 100;
    if (s == 0) {
        const uint8_t c = ToByte(v);
        return {c, c, c};
    }
    const double i = std::floor(6 * h);
    const double f = 6 * h - i;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    double r, g, b;
    switch (static_cast<int>(i)) {
    case 0:
        r = v, g = t, b = p;
        break;
    case 1:
        r = q, g = v, b = p;
        break;
    case 2:
        r = p, g = v, b = t;
        break;
    case 3:
        r = p, g = q, b = v;
        break;
    case 4:
        r = t, g = p, b = v;
        break;
    default:
        r = v, g = p, b = q;
        break;
    }
    return {ToByte(r), ToByte(g), ToByte(b)};
}

void TPSPColor::setBytesFromFractions() {
    HueByte = ToByte(Hue * 255);
    SaturationByte = ToByte(Saturation * 255);
    LightnessByte = ToByte(Lightness * 255);
}

void TPSPColor::SetRGB(TColor c) {
    const TRGB rgb = SplitColor(c);
    Red = rgb.r, Green = rgb.g, Blue = rgb.b;
    const HSLFractions f = RGBToHSL(Red, Green, Blue);
    Hue = f.Hue, Saturation = f.Saturation, Lightness = f.Lightness;
    setBytesFromFractions();
}

void TPSPColor::SetHSL(double hue, double saturation, double lightness) {
    Hue = hue, Saturation = saturation, Lightness = lightness;
    const TRGB rgb = HSLToRGB(Hue, Saturation, Lightness);
    Red = rgb.r, Green = rgb.g, Blue = rgb.b;
    setBytesFromFractions();
}

void TPSPColor::SetHSLBytes(uint8_t hue, uint8_t saturation, uint8_t lightness) {
    HueByte = hue, SaturationByte = saturation, LightnessByte = lightness;
    Hue = hue / 255.0, Saturation = saturation / 255.0, Lightness = lightness / 255.0;
    const TRGB rgb = HSLToRGB(Hue, Saturation, Lightness);
    Red = rgb.r, Green = rgb.g, Blue = rgb.b;
}

} // namespace tp
