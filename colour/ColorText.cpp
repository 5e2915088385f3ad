#include "colour/ColorText.h"

#include "colour/ExactNumber.h"
#include "colour/LinearRGB.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tp {

namespace {

constexpr NamedColor NamedColors[] = {
#include "colour/CssNamedColors.inc"
};

// CSS forms first, then the forms of code, each family together; rgb() stays
// third, where users have learnt to find it.
constexpr CopyFormatInfo Formats[] = {
    {CopyFormat::Bare, "RRGGBB", "RRGGBB"},
    {CopyFormat::Hash, "#RRGGBB", "#RRGGBB"},
    {CopyFormat::Rgb, "rgb", "rgb(r, g, b)"},
    {CopyFormat::RgbSpace, "rgb-space", "rgb(r g b)"},
    {CopyFormat::Hsl, "hsl", "hsl(h, s%, l%)"},
    {CopyFormat::Oklch, "oklch", "oklch(L C H)"},
    {CopyFormat::Hex0x, "0xRRGGBB", "0xRRGGBB"},
    {CopyFormat::Name, "name", "CSS 颜色名称"},
    {CopyFormat::Flutter, "flutter", "Flutter Color(0xFFRRGGBB)"},
    {CopyFormat::UIColor, "uicolor", "Swift UIColor(red:green:blue:alpha:)"},
    {CopyFormat::QColor, "qcolor", "Qt QColor(r, g, b)"},
};

TRGB Unpack(uint32_t rgb) {
    return {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
            static_cast<uint8_t>(rgb)};
}

// ---- reading ---------------------------------------------------------------

// What a text turned out to be.
enum class Verdict { Colour, Translucent, NotAColour };

struct Reading {
    Verdict verdict = Verdict::NotAColour;
    TRGB colour{};
};

Reading Colour(TRGB c) {
    return {Verdict::Colour, c};
}
constexpr Reading NotAColour{};
constexpr Reading Translucent{Verdict::Translucent, {}};

// Blanks a pasted text may carry around it: ASCII white space, and the
// no-break and ideographic spaces that web pages and Chinese input leave.
size_t BlankAt(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    if (s.substr(i, 2) == "\xC2\xA0") return 2;
    if (s.substr(i, 3) == "\xE3\x80\x80") return 3;
    return 0;
}

size_t BlankEndingAt(std::string_view s, size_t end) {
    const auto c = static_cast<unsigned char>(s[end - 1]);
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    if (end >= 2 && s.substr(end - 2, 2) == "\xC2\xA0") return 2;
    if (end >= 3 && s.substr(end - 3, 3) == "\xE3\x80\x80") return 3;
    return 0;
}

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e) {
        const size_t n = BlankAt(s, b);
        if (!n) break;
        b += n;
    }
    while (e > b) {
        const size_t n = BlankEndingAt(s, e);
        if (!n) break;
        e -= n;
    }
    return s.substr(b, e - b);
}

// White space as CSS (and code) has it between the parts of a colour.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view TrimSpace(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool HasSpace(std::string_view s) {
    return std::any_of(s.begin(), s.end(), IsSpace);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// #RGB, #RGBA, #RRGGBB or #RRGGBBAA without the "#".
Reading HexColor(std::string_view digits) {
    const size_t n = digits.size();
    if (n != 3 && n != 4 && n != 6 && n != 8) return NotAColour;
    std::array<int, 8> d{};
    for (size_t i = 0; i < n; ++i)
        if ((d[i] = HexDigit(digits[i])) < 0) return NotAColour;
    auto channel = [&](size_t i) {
        // #RGB stands for #RRGGBB.
        return static_cast<uint8_t>(n <= 4 ? d[i] * 17 : d[2 * i] * 16 + d[2 * i + 1]);
    };
    if ((n == 4 || n == 8) && channel(3) != 255) return Translucent;
    return Colour({channel(0), channel(1), channel(2)});
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool EndsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// A CSS property name: "color", "background-color", "--brand".
bool IsPropertyName(std::string_view s) {
    if (s.empty()) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

// A declaration as copied from a style sheet or a browser's inspector
// ("color: #E63946;", "#E63946;", "--brand: #E63946 !important;") stands for
// its value. The text is in lower case.
std::string_view DeclarationValue(std::string_view t) {
    if (!t.empty() && t.back() == ';') t = TrimSpace(t.substr(0, t.size() - 1));
    if (EndsWith(t, "!important")) t = TrimSpace(t.substr(0, t.size() - 10));
    const size_t colon = t.find(':');
    if (colon != std::string_view::npos && IsPropertyName(TrimSpace(t.substr(0, colon))))
        t = TrimSpace(t.substr(colon + 1));
    return t;
}

// The arguments of a CSS colour function: three values separated by commas
// (and an alpha as a fourth), or by blanks alone (and an alpha after "/").
struct CssArguments {
    std::array<std::string_view, 3> values;
    std::optional<std::string_view> alpha;
    bool commas = false;
};

std::optional<CssArguments> SplitArguments(std::string_view body) {
    CssArguments out;
    std::array<std::string_view, 4> parts;
    size_t count = 0;
    if (body.find(',') != std::string_view::npos) {
        out.commas = true;
        size_t start = 0;
        for (;;) {
            const size_t comma = body.find(',', start);
            const std::string_view p = TrimSpace(body.substr(start, comma - start));
            if (count == 4 || p.empty() || HasSpace(p) || p.find('/') != std::string_view::npos)
                return std::nullopt;
            parts[count++] = p;
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        if (count < 3) return std::nullopt;
        if (count == 4) out.alpha = parts[3];
    } else {
        const size_t slash = body.find('/');
        if (slash != std::string_view::npos) {
            const std::string_view a = TrimSpace(body.substr(slash + 1));
            if (a.empty() || HasSpace(a) || a.find('/') != std::string_view::npos)
                return std::nullopt;
            out.alpha = a;
            body = body.substr(0, slash);
        }
        size_t i = 0;
        while (i < body.size()) {
            while (i < body.size() && IsSpace(body[i]))
                ++i;
            const size_t start = i;
            while (i < body.size() && !IsSpace(body[i]))
                ++i;
            if (i == start) continue;
            if (count == 3) return std::nullopt;
            parts[count++] = body.substr(start, i - start);
        }
        if (count != 3) return std::nullopt;
    }
    out.values = {parts[0], parts[1], parts[2]};
    return out;
}

// A figure in 0..limit, exactly: scaled is the value times 10^places.
struct Figure {
    Wide scaled;
    int places;
    Wide unit() const { return Wide::Pow10(places); }
};

std::optional<Figure> FigureIn(std::string_view s, uint32_t limit) {
    const auto d = ReadDecimal(s);
    if (!d || (d->negative && !d->isZero())) return std::nullopt;
    const auto w = d->scaled(d->places());
    if (!w || *w > Wide{limit} * Wide::Pow10(d->places())) return std::nullopt;
    return Figure{*w, d->places()};
}

// A figure with a "%" after it, cut off; nothing when there is none.
std::optional<std::string_view> Percent(std::string_view s) {
    if (s.size() < 2 || s.back() != '%') return std::nullopt;
    return s.substr(0, s.size() - 1);
}

// An 8-bit channel of rgb(): a number in 0..255 or a percentage, rounded
// halves up.
std::optional<uint8_t> RgbChannel(std::string_view s) {
    if (!s.empty() && s.size() <= 3 &&
        std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        // Whole numbers, as most texts have them, need no fractions.
        int v = 0;
        for (char c : s)
            v = v * 10 + (c - '0');
        if (v > 255) return std::nullopt;
        return static_cast<uint8_t>(v);
    }
    if (const auto p = Percent(s)) {
        const auto f = FigureIn(*p, 100);
        if (!f) return std::nullopt;
        return static_cast<uint8_t>(
            RoundHalfUp(f->scaled * Wide{255}, f->unit() * Wide{100}).value);
    }
    const auto f = FigureIn(s, 255);
    if (!f) return std::nullopt;
    return static_cast<uint8_t>(RoundHalfUp(f->scaled, f->unit()).value);
}

// An alpha: a number in 0..1 or a percentage. Only full opacity is taken.
Reading WithAlpha(std::optional<std::string_view> alpha, Reading colour) {
    if (!alpha || colour.verdict != Verdict::Colour) return colour;
    const auto p = Percent(*alpha);
    const uint32_t full = p ? 100 : 1;
    const auto f = FigureIn(p ? *p : *alpha, full);
    if (!f) return NotAColour;
    return f->scaled == Wide{full} * f->unit() ? colour : Translucent;
}

Reading RgbFunction(std::string_view body) {
    const auto args = SplitArguments(body);
    if (!args) return NotAColour;
    std::array<uint8_t, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        const auto c = RgbChannel(args->values[i]);
        if (!c) return NotAColour;
        v[i] = *c;
    }
    return WithAlpha(args->alpha, Colour({v[0], v[1], v[2]}));
}

// A hue: a number of degrees, or an angle in deg, grad or turn.
struct Hue {
    Decimal d;
    enum Unit { Deg, Grad, Turn } unit = Deg;
    // Decimals it needs to be held exactly in degrees.
    int places() const { return d.places() + (unit == Grad ? 1 : 0); }
};

std::optional<Hue> ReadHue(std::string_view s) {
    Hue h;
    if (EndsWith(s, "deg")) {
        s.remove_suffix(3);
    } else if (EndsWith(s, "grad")) {
        s.remove_suffix(4);
        h.unit = Hue::Grad;
    } else if (EndsWith(s, "turn")) {
        s.remove_suffix(4);
        h.unit = Hue::Turn;
    }
    const auto d = ReadDecimal(s);
    if (!d) return std::nullopt;
    h.d = *d;
    return h;
}

// The hue in degrees, brought into 0..360, times 10^places.
std::optional<Wide> HueAt(const Hue& h, int places) {
    const Decimal fraction{false, "", h.d.fraction};
    std::optional<Wide> deg;
    switch (h.unit) {
    case Hue::Deg:
        if (const auto f = fraction.scaled(places))
            deg = Wide{h.d.wholeModulo(360)} * Wide::Pow10(places) + *f;
        break;
    case Hue::Grad: // 400 grad to a turn: degrees are 9/10 of it
        if (const auto f = fraction.scaled(places - 1))
            deg = (Wide{h.d.wholeModulo(400)} * Wide::Pow10(places - 1) + *f) * Wide{9};
        break;
    case Hue::Turn:
        if (const auto f = fraction.scaled(places)) deg = *f * Wide{360};
        break;
    }
    if (deg && h.d.negative && !(*deg == Wide{})) deg = Wide{360} * Wide::Pow10(places) - *deg;
    return deg;
}

struct HslExact {
    TRGB colour;
    bool onAHalf; // some channel came to exactly n + 1/2 before rounding
};

// Figures of up to six decimals fit 128 bits in every product below; a
// longer figure takes the Wide.
__extension__ typedef unsigned __int128 Narrow;
constexpr int NarrowPlaces = 6;

Rounded RoundHalfUp(Narrow num, Narrow den) {
    const Narrow twice = 2 * num + den;
    return {static_cast<uint64_t>(twice / (2 * den)), twice % (2 * den) == 0};
}

// hsl() as CSS converts it, in exact fractions: h in degrees (0 <= h < 360),
// s and l in percent (0 to 100), each times U (a power of ten).
//   f(n) = l - s * min(l, 1 - l) * max(-1, min(k - 3, 9 - k, 1)),
//   k = (n + h / 30) mod 12, for n = 0, 8, 4;
// each channel is 255 f(n) rounded, halves up.
template <class N> HslExact EvaluateHsl(const N& H, const N& S, const N& L, const N& U) {
    const N P = N{100} * U, U30 = N{30} * U;
    const N m = std::min(L, P - L); // min(l, 1 - l) times P
    // f(n) = L / P - S m M / (P^2 30 U), with M = 30 U times the clamp term;
    // over the common denominator D, f(n) D = L P 30 U -/+ S m |M|.
    const N D = P * P * U30, lightness = L * P * U30, sm = S * m;
    const N U60 = N{60} * U, U90 = N{90} * U, U120 = N{120} * U, U240 = N{240} * U,
            U270 = N{270} * U, U300 = N{300} * U, U360 = N{360} * U;
    HslExact out{{}, false};
    const std::array<N, 3> offsets{N{0}, U240, U120}; // n = 0, 8, 4 as 30 n U
    std::array<uint8_t, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        N k = H + offsets[i]; // 30 k U
        if (k >= U360) k = k - U360;
        // The clamp term: -1 up to k = 2, k - 3 up to 4, 1 up to 8, 9 - k up
        // to 10, -1 after; M is its size, negative its sign.
        N M = U30;
        bool negative = true;
        if (k >= U60 && k < U120) {
            negative = k < U90;
            M = negative ? U90 - k : k - U90;
        } else if (k >= U120 && k < U240) {
            negative = false;
        } else if (k >= U240 && k < U300) {
            negative = k > U270;
            M = negative ? k - U270 : U270 - k;
        }
        const N term = sm * M;
        const N f = negative ? lightness + term : lightness - term;
        const Rounded r = RoundHalfUp(f * N{255}, D);
        v[i] = static_cast<uint8_t>(std::min<uint64_t>(r.value, 255));
        out.onAHalf = out.onAHalf || r.onAHalf;
    }
    out.colour = {v[0], v[1], v[2]};
    return out;
}

// s or l: a percentage; in the blank-separated syntax also a bare number.
std::optional<Decimal> Percentage(std::string_view s, bool bareNumberAllowed) {
    const auto p = Percent(s);
    if (!p && !bareNumberAllowed) return std::nullopt;
    const auto d = ReadDecimal(p ? *p : s);
    if (!d || (d->negative && !d->isZero())) return std::nullopt;
    return d;
}

Reading HslFunction(std::string_view body) {
    const auto args = SplitArguments(body);
    if (!args) return NotAColour;
    const auto hue = ReadHue(args->values[0]);
    const auto s = Percentage(args->values[1], !args->commas);
    const auto l = Percentage(args->values[2], !args->commas);
    if (!hue || !s || !l) return NotAColour;
    const int places = std::max({hue->places(), s->places(), l->places()});
    const auto H = HueAt(*hue, places);
    const auto S = s->scaled(places), L = l->scaled(places);
    const Wide hundred = Wide{100} * Wide::Pow10(places);
    if (!H || !S || !L || *S > hundred || *L > hundred) return NotAColour;
    TRGB c;
    if (places <= NarrowPlaces)
        c = EvaluateHsl<Narrow>(*H->toUint64(), *S->toUint64(), *L->toUint64(),
                                *Wide::Pow10(places).toUint64())
                .colour;
    else
        c = EvaluateHsl(*H, *S, *L, Wide::Pow10(places)).colour;
    return WithAlpha(args->alpha, Colour(c));
}

// The number as a double; nothing when it lies beyond a double's range.
std::optional<double> ToDouble(const Decimal& d) {
    const std::string s = (d.whole.empty() ? "0" : d.whole) + "." + d.fraction + "0";
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc()) return std::nullopt;
    return d.negative ? -v : v;
}

// A hue in degrees, brought into 0..360 first, so that no figure is too
// large for a double.
double HueDegrees(const Hue& h) {
    const uint32_t turn = h.unit == Hue::Grad ? 400 : h.unit == Hue::Turn ? 1 : 360;
    const Decimal reduced{false, std::to_string(h.d.wholeModulo(turn)), h.d.fraction};
    double v = *ToDouble(reduced);
    if (h.unit == Hue::Grad) v *= 0.9;
    if (h.unit == Hue::Turn) v *= 360;
    return h.d.negative ? 360 - v : v;
}

// ---- OKLCH -----------------------------------------------------------------

// The OKLab matrices (Ottosson, 2020) between linear sRGB and OKLab.
struct Lab {
    double L, a, b;
};

Lab LinearToOklab(const std::array<double, 3>& rgb) {
    const auto [r, g, b] = rgb;
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

std::array<double, 3> OklabToLinear(Lab c) {
    const double l = c.L + 0.3963377774 * c.a + 0.2158037573 * c.b;
    const double m = c.L - 0.1055613458 * c.a - 0.0638541728 * c.b;
    const double s = c.L - 0.0894841775 * c.a - 1.2914855480 * c.b;
    const double l3 = l * l * l, m3 = m * m * m, s3 = s * s * s;
    return {4.0767416621 * l3 - 3.3077115913 * m3 + 0.2309699292 * s3,
            -1.2684380046 * l3 + 2.6097574011 * m3 - 0.3413193965 * s3,
            -0.0041960863 * l3 - 0.7034186147 * m3 + 1.7076147010 * s3};
}

constexpr double Pi = 3.14159265358979323846;

Lab FromLch(double L, double C, double hueDegrees) {
    const double h = hueDegrees * Pi / 180;
    return {L, C * std::cos(h), C * std::sin(h)};
}

// Encoded sRGB, 0 to 1 inside the gamut.
using Encoded = std::array<double, 3>;

Encoded ToEncoded(Lab c) {
    const auto linear = OklabToLinear(c);
    return {LinearToSrgb(linear[0]), LinearToSrgb(linear[1]), LinearToSrgb(linear[2])};
}

Lab FromEncoded(const Encoded& e) {
    return LinearToOklab({SrgbToLinear(e[0]), SrgbToLinear(e[1]), SrgbToLinear(e[2])});
}

bool InGamut(const Encoded& e) {
    // A hair of float noise around the ends is no step outside.
    return std::all_of(e.begin(), e.end(), [](double v) { return v >= -1e-9 && v <= 1 + 1e-9; });
}

Encoded Clip(Encoded e) {
    for (double& v : e)
        v = std::clamp(v, 0.0, 1.0);
    return e;
}

double DeltaEOK(Lab x, Lab y) {
    return std::sqrt((x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) +
                     (x.b - y.b) * (x.b - y.b));
}

// CSS Color 4's gamut mapping to sRGB: a colour outside loses chroma, hue
// and lightness kept, until clipping it changes it by less than a just
// noticeable difference; so a pasted oklch() is the colour a browser shows
// on an sRGB screen.
Encoded MapIntoSrgb(double L, double C, double hue) {
    if (L >= 1) return {1, 1, 1};
    if (L <= 0) return {0, 0, 0};
    const Encoded origin = ToEncoded(FromLch(L, C, hue));
    if (InGamut(origin)) return origin;
    constexpr double Jnd = 0.02, Epsilon = 0.0001;
    Lab current = FromLch(L, C, hue);
    Encoded clipped = Clip(origin);
    if (DeltaEOK(FromEncoded(clipped), current) < Jnd) return clipped;
    double low = 0, high = C;
    bool lowInGamut = true;
    while (high - low > Epsilon) {
        const double chroma = (low + high) / 2;
        current = FromLch(L, chroma, hue);
        const Encoded e = ToEncoded(current);
        if (lowInGamut && InGamut(e)) {
            low = chroma;
            continue;
        }
        clipped = Clip(e);
        const double d = DeltaEOK(FromEncoded(clipped), current);
        if (d < Jnd) {
            if (Jnd - d < Epsilon) return clipped;
            lowInGamut = false;
            low = chroma;
        } else {
            high = chroma;
        }
    }
    return clipped;
}

TRGB Rounded8(const Encoded& e) {
    auto c = [](double v) {
        return static_cast<uint8_t>(std::clamp(std::floor(v * 255 + 0.5), 0.0, 255.0));
    };
    return {c(e[0]), c(e[1]), c(e[2])};
}

// oklch(L C H): L a number 0..1 or a percentage, C a number >= 0 or a
// percentage (100% is 0.4), H a hue.
Reading OklchFunction(std::string_view body) {
    const auto args = SplitArguments(body);
    if (!args || args->commas) return NotAColour;
    const auto lp = Percent(args->values[0]), cp = Percent(args->values[1]);
    const auto ld = ReadDecimal(lp ? *lp : args->values[0]);
    const auto cd = ReadDecimal(cp ? *cp : args->values[1]);
    const auto hue = ReadHue(args->values[2]);
    if (!ld || !cd || !hue || (cd->negative && !cd->isZero())) return NotAColour;
    const auto l = ToDouble(*ld), c = ToDouble(*cd);
    if (!l || !c) return NotAColour;
    const double L = *l / (lp ? 100 : 1);
    if (L < 0 || L > 1) return NotAColour;
    // Far beyond every screen's gamut (0.4 is already outside sRGB) all
    // chromas map alike; so large a figure would only overflow the cubes.
    const double C = std::min(*c * (cp ? 0.004 : 1), 1.0);
    const Reading colour = Colour(Rounded8(MapIntoSrgb(L, C, HueDegrees(*hue))));
    return WithAlpha(args->alpha, colour);
}

// Three decimals, as CSS tools print them; where those read back more than
// one step away (strong colours whose weakest channel is near 0, where
// sRGB's curve is steepest) L and C take a fourth or fifth.
std::string OklchText(TRGB c) {
    const Lab lab = FromEncoded({c.r / 255.0, c.g / 255.0, c.b / 255.0});
    const double chroma = std::hypot(lab.a, lab.b);
    double hue = std::atan2(lab.b, lab.a) * 180 / Pi;
    if (hue < 0) hue += 360;
    char buf[80] = "";
    for (int places = 3; places <= 5; ++places) {
        const double scale = std::pow(10.0, places);
        // A grey has no hue: the float noise of its a and b would print one.
        const bool grey = std::round(chroma * scale) == 0;
        const double h = grey || std::round(hue * 1000) >= 360000 ? 0 : hue;
        std::snprintf(buf, sizeof buf, "oklch(%.*f %.*f %.3f)", places, std::max(lab.L, 0.0),
                      places, grey ? 0.0 : chroma, h);
        const Reading back = OklchFunction(std::string_view(buf).substr(6, std::strlen(buf) - 7));
        auto near = [](uint8_t x, uint8_t y) { return std::abs(x - y) <= 1; };
        if (back.verdict == Verdict::Colour && near(back.colour.r, c.r) &&
            near(back.colour.g, c.g) && near(back.colour.b, c.b))
            break;
    }
    return buf;
}

// ---- colours as code -------------------------------------------------------

// Flutter's Color(0xAARRGGBB): the alpha is the top byte, so a six-digit
// value is a transparent colour there.
Reading FlutterColor(std::string_view body) {
    body = TrimSpace(body);
    if (body.size() < 3 || body.size() > 10 || body.substr(0, 2) != "0x") return NotAColour;
    uint32_t v = 0;
    for (char c : body.substr(2)) {
        const int d = HexDigit(c);
        if (d < 0) return NotAColour;
        v = v << 4 | static_cast<uint32_t>(d);
    }
    if (v >> 24 != 0xFF) return Translucent;
    return Colour(Unpack(v & 0xFFFFFF));
}

// A UIColor component, 0..1: a number, or a quotient such as 230/255 as
// Swift code often writes it; times 255 and rounded, halves up.
struct Component {
    Wide num, den;
};

std::optional<Component> ReadComponent(std::string_view s) {
    const size_t slash = s.find('/');
    const auto a = ReadDecimal(TrimSpace(s.substr(0, slash)));
    if (!a || (a->negative && !a->isZero())) return std::nullopt;
    Decimal b{false, "1", ""};
    if (slash != std::string_view::npos) {
        const auto d = ReadDecimal(TrimSpace(s.substr(slash + 1)));
        if (!d || d->negative || d->isZero()) return std::nullopt;
        b = *d;
    }
    const auto an = a->scaled(a->places()), bn = b.scaled(b.places());
    if (!an || !bn) return std::nullopt;
    Component c{*an * Wide::Pow10(b.places()), *bn * Wide::Pow10(a->places())};
    if (c.num > c.den) return std::nullopt;
    return c;
}

Reading UIColorFunction(std::string_view body) {
    static constexpr std::string_view Labels[] = {"red", "green", "blue", "alpha"};
    std::array<Component, 4> v{};
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t comma = body.find(',', start);
        if ((comma == std::string_view::npos) != (i == 3)) return NotAColour;
        const std::string_view part = TrimSpace(body.substr(start, comma - start));
        start = comma + 1;
        const size_t colon = part.find(':');
        if (colon == std::string_view::npos || TrimSpace(part.substr(0, colon)) != Labels[i])
            return NotAColour;
        const auto c = ReadComponent(TrimSpace(part.substr(colon + 1)));
        if (!c) return NotAColour;
        v[i] = *c;
    }
    std::array<uint8_t, 3> rgb{};
    for (size_t i = 0; i < 3; ++i)
        rgb[i] = static_cast<uint8_t>(RoundHalfUp(v[i].num * Wide{255}, v[i].den).value);
    if (!(v[3].num == v[3].den)) return Translucent;
    return Colour({rgb[0], rgb[1], rgb[2]});
}

// QColor(r, g, b) or QColor(r, g, b, a): whole numbers 0..255.
Reading QColorFunction(std::string_view body) {
    std::array<int, 4> v{0, 0, 0, 255};
    size_t start = 0, n = 0;
    for (;; ++n) {
        const size_t comma = body.find(',', start);
        const std::string_view p = TrimSpace(body.substr(start, comma - start));
        if (n == 4 || p.empty() || p.size() > 3) return NotAColour;
        int x = 0;
        const auto r = std::from_chars(p.data(), p.data() + p.size(), x);
        if (r.ec != std::errc() || r.ptr != p.data() + p.size() || x < 0 || x > 255)
            return NotAColour;
        v[n] = x;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (n != 2 && n != 3) return NotAColour;
    if (v[3] != 255) return Translucent;
    return Colour(
        {static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2])});
}

// name(body), with blanks allowed before the parenthesis.
Reading Function(std::string_view lower) {
    const size_t open = lower.find('(');
    if (open == std::string_view::npos || lower.back() != ')') return NotAColour;
    std::string_view name = TrimSpace(lower.substr(0, open));
    // Dart writes a colour constant "const Color(...)".
    if (name.substr(0, 6) == "const " || name.substr(0, 6) == "const\t")
        name = TrimSpace(name.substr(6));
    const std::string_view body = lower.substr(open + 1, lower.size() - open - 2);
    if (name == "rgb" || name == "rgba") return RgbFunction(body);
    if (name == "hsl" || name == "hsla") return HslFunction(body);
    if (name == "oklch") return OklchFunction(body);
    if (name == "color") return FlutterColor(body);
    if (name == "uicolor") return UIColorFunction(body);
    if (name == "qcolor") return QColorFunction(body);
    return NotAColour;
}

Reading ReadColor(std::string_view text) {
    const std::string lowerText = Lower(Trim(text));
    const std::string_view t = DeclarationValue(lowerText);
    if (t.empty()) return NotAColour;
    if (t.front() == '#') return HexColor(t.substr(1));
    if (t.size() == 8 && t.substr(0, 2) == "0x") {
        const Reading r = HexColor(t.substr(2));
        return r.verdict == Verdict::Colour ? r : NotAColour;
    }
    if (t.size() == 6) {
        const Reading r = HexColor(t);
        if (r.verdict == Verdict::Colour) return r;
    }
    if (t.find('(') != std::string_view::npos) return Function(t);
    if (t == "transparent") return Translucent;
    for (const auto& n : NamedColors)
        if (t == n.name) return Colour(n.rgb);
    return NotAColour;
}

// ---- writing ---------------------------------------------------------------

struct Hsl {
    double h, s, l; // degrees, percent, percent
};

Hsl RgbToHsl(TRGB c) {
    const int mx = std::max({c.r, c.g, c.b});
    const int mn = std::min({c.r, c.g, c.b});
    const double l = (mx + mn) / 510.0;
    if (mx == mn) return {0, 0, l * 100};
    const double d = (mx - mn) / 255.0;
    const double s = d / (1 - std::fabs(2 * l - 1));
    double h;
    const double r = c.r / 255.0, g = c.g / 255.0, b = c.b / 255.0;
    if (mx == c.r)
        h = (g - b) / d;
    else if (mx == c.g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h *= 60;
    if (h < 0) h += 360;
    return {h, s * 100, l * 100};
}

// The fewest decimals (the same number for the three figures) with which
// the text reads back, exactly, as this colour and no channel lands on a
// half: a reader computing in floats may round such a half either way.
std::string HslText(TRGB c) {
    const Hsl v = RgbToHsl(c);
    uint64_t h = 0, s = 0, l = 0;
    int places = 0;
    for (uint64_t unit = 1; places <= 6; ++places, unit *= 10) {
        h = static_cast<uint64_t>(std::llround(v.h * static_cast<double>(unit)));
        if (h >= 360 * unit) h -= 360 * unit;
        s = static_cast<uint64_t>(std::llround(v.s * static_cast<double>(unit)));
        l = static_cast<uint64_t>(std::llround(v.l * static_cast<double>(unit)));
        const HslExact e = EvaluateHsl<Narrow>(h, s, l, unit);
        if (e.colour == c && !e.onAHalf) break;
    }
    return "hsl(" + DecimalText(h, places) + ", " + DecimalText(s, places) + "%, " +
           DecimalText(l, places) + "%)";
}

// The text as a message shows it: control characters as blanks, and cut
// short (at a character boundary) when long. Built byte by byte, so that a
// NUL in the text is shown like any other control character.
std::string Shown(std::string_view s) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) != 0x80 && ++chars > 40) {
            out += "…";
            break;
        }
        out += (c < 0x20 || c == 0x7F) ? ' ' : s[i];
    }
    return out;
}

} // namespace

std::span<const CopyFormatInfo> CopyFormats() {
    return Formats;
}

const CopyFormatInfo& CopyFormatOf(CopyFormat f) {
    for (const auto& info : Formats)
        if (info.format == f) return info;
    return Formats[0];
}

std::optional<CopyFormat> CopyFormatFromKey(std::string_view key) {
    for (const auto& info : Formats)
        if (key == info.key) return info.format;
    return std::nullopt;
}

std::span<const NamedColor> CssNamedColors() {
    return NamedColors;
}

std::optional<std::string_view> CssName(TRGB c) {
    for (const auto& n : NamedColors)
        if (n.rgb == c) return n.name;
    return std::nullopt;
}

std::string FormatColor(TRGB c, CopyFormat f) {
    char buf[96];
    switch (f) {
    case CopyFormat::Bare:
        return HexCode(c);
    case CopyFormat::Hash:
        return "#" + HexCode(c);
    case CopyFormat::Rgb:
        std::snprintf(buf, sizeof buf, "rgb(%d, %d, %d)", c.r, c.g, c.b);
        return buf;
    case CopyFormat::RgbSpace:
        std::snprintf(buf, sizeof buf, "rgb(%d %d %d)", c.r, c.g, c.b);
        return buf;
    case CopyFormat::Hsl:
        return HslText(c);
    case CopyFormat::Oklch:
        return OklchText(c);
    case CopyFormat::Hex0x:
        return "0x" + HexCode(c);
    case CopyFormat::Name:
        if (const auto name = CssName(c)) return std::string(*name);
        return "#" + HexCode(c);
    case CopyFormat::Flutter:
        return "Color(0xFF" + HexCode(c) + ")";
    case CopyFormat::UIColor: {
        // Three decimals are within 0.13 of a step: they always read back.
        // (2000 v + 255) / 510 is v / 255 in thousandths, rounded; it is
        // never a tie.
        auto part = [](uint8_t v) {
            const int thousandths = (2000 * v + 255) / 510;
            char digits[8];
            std::snprintf(digits, sizeof digits, "%d.%03d", thousandths / 1000, thousandths % 1000);
            return std::string(digits);
        };
        return "UIColor(red: " + part(c.r) + ", green: " + part(c.g) + ", blue: " + part(c.b) +
               ", alpha: 1.0)";
    }
    case CopyFormat::QColor:
        std::snprintf(buf, sizeof buf, "QColor(%d, %d, %d)", c.r, c.g, c.b);
        return buf;
    }
    return HexCode(c);
}

std::optional<TRGB> ParseColorText(std::string_view text) {
    const Reading r = ReadColor(text);
    if (r.verdict != Verdict::Colour) return std::nullopt;
    return r.colour;
}

std::optional<TRGB> ParseHexCode(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    const Reading r = HexColor(text);
    if (r.verdict != Verdict::Colour) return std::nullopt;
    return r.colour;
}

std::string NotAColorMessage(std::string_view text) {
    const std::string shown = "“" + Shown(Trim(text)) + "”";
    switch (ReadColor(text).verdict) {
    case Verdict::Translucent:
        return shown + "带有透明度。\n取色器只保存不透明的颜色：不写透明度，或写成完全不透明（"
                       "1、100%、#RRGGBBFF、Color(0xFFRRGGBB)）。";
    case Verdict::Colour:
    case Verdict::NotAColour:
        break;
    }
    return "无法识别的颜色：" + shown +
           "。\n可以粘贴的颜色写法：#RRGGBB、#RGB、RRGGBB、0xRRGGBB、rgb()、hsl()、oklch()、"
           "CSS 颜色名称（如 steelblue）、Color(0xFFRRGGBB)、UIColor(red:…) 或 "
           "QColor(r, g, b)，前后可以带空白。";
}

} // namespace tp
