#include "colour/ColorModel.h"

#include "base/Rounding.h"

#include <algorithm>

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
    // Whole numbers first, one division last: a quotient of two integers that
    // lies exactly half-way is exact in double, so the tie rounds to even
    // (d / mx * 100 would land beside it, 57.49999... for 23 / 40).
    out.L = static_cast<int>(Round(mx * 100 / 255.0));
    if (d == 0) return out;
    out.S = static_cast<int>(Round(d * 100 / static_cast<double>(mx)));
    // 359, not 360: the H edit's range ends at 359, so pure blue shows 239.
    out.H = static_cast<int>(Round(RGBToHSL(r, g, b).Hue * 359));
    return out;
}

TRGB HSVToRGB(int H, int S, int L) {
    // Every channel is v * (1 - s * k) with v = L * 255 / 100, s = S / 100 and k
    // a sixtieth of the sector (h = H / 360, 360 here unlike the 359 of
    // RGBToHSV). Formed as one integer over 100 * 100 * 60 and divided once,
    // so that exact halves stay exact (76.5 rounds to 76).
    const long long v = static_cast<long long>(L) * 255;
    auto channel = [&](long long sixtieths) {
        return ToByte(static_cast<double>(v * (6000 - S * sixtieths)) / 600000);
    };
    if (S == 0) {
        const uint8_t c = ToByte(static_cast<double>(v) / 100);
        return {c, c, c};
    }
    // The sector and the share f of it, as whole sixtieths (H = 60 i + f60).
    const int i = H >= 0 ? H / 60 : -((-H + 59) / 60);
    const long long f60 = H - 60LL * i;
    const uint8_t cv = channel(0), p = channel(60), q = channel(f60), t = channel(60 - f60);
    switch (i) {
    case 0:
        return {cv, t, p};
    case 1:
        return {q, cv, p};
    case 2:
        return {p, cv, t};
    case 3:
        return {p, q, cv};
    case 4:
        return {t, p, cv};
    default:
        return {cv, p, q};
    }
}

void TPSPColor::setBytesFromFractions() {
    hueByte_ = ToByte(hue_ * 255);
    saturationByte_ = ToByte(saturation_ * 255);
    lightnessByte_ = ToByte(lightness_ * 255);
}

void TPSPColor::SetRGB(TRGB c) {
    red_ = c.r, green_ = c.g, blue_ = c.b;
    const HSLFractions f = RGBToHSL(red_, green_, blue_);
    hue_ = f.Hue, saturation_ = f.Saturation, lightness_ = f.Lightness;
    setBytesFromFractions();
}

void TPSPColor::SetHSL(double hue, double saturation, double lightness) {
    hue_ = hue, saturation_ = saturation, lightness_ = lightness;
    const TRGB rgb = HSLToRGB(hue_, saturation_, lightness_);
    red_ = rgb.r, green_ = rgb.g, blue_ = rgb.b;
    setBytesFromFractions();
}

void TPSPColor::SetHSLBytes(uint8_t hue, uint8_t saturation, uint8_t lightness) {
    hueByte_ = hue, saturationByte_ = saturation, lightnessByte_ = lightness;
    hue_ = hue / 255.0, saturation_ = saturation / 255.0, lightness_ = lightness / 255.0;
    const TRGB rgb = HSLToRGB(hue_, saturation_, lightness_);
    red_ = rgb.r, green_ = rgb.g, blue_ = rgb.b;
}

} // namespace tp
