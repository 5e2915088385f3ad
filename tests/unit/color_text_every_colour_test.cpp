// The copy formats read back through the paste reader: hsl() on every one
// of the 16,777,216 colours, the others on a fixed sample of 1,000,000 (all
// of them would take minutes under the sanitizers). The hsl()
// texts are also checked against exact fractions computed here,
// independently of the program's reader, the way a browser that rounds
// halves up reads them: a text that lands exactly on a half in some channel
// is read as one colour or the next depending on the float order of the
// reader, so none may.
#include "colour/ColorText.h"

#include <algorithm>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

using namespace tp;

namespace {

// Eight parts of the reds, so that the parts run side by side.
constexpr int Parts = 8;

// What the exact reading of one hsl() text gives.
struct ExactHsl {
    int rgb[3];
    bool onAHalf; // some channel is exactly x.5 before rounding
};

__extension__ typedef __int128 Int;

// A decimal "12.345" as 12345 with 3 decimals.
bool ReadDecimal(std::string_view s, long long& n, int& decimals) {
    n = 0;
    decimals = -1;
    for (char c : s) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
        if (decimals >= 0) ++decimals;
    }
    if (decimals < 0) decimals = 0;
    return !s.empty() && decimals <= 6;
}

// hsl(h, s%, l%) as the writer prints it, read with the CSS Color 3 steps
// (t1, t2 and the hue-to-channel ramp) in exact fractions.
bool ReadHslExactly(const std::string& text, ExactHsl& out) {
    std::string_view t = text;
    if (t.substr(0, 4) != "hsl(" || t.back() != ')') return false;
    t = t.substr(4, t.size() - 5);
    const size_t c1 = t.find(", "), c2 = t.find(", ", c1 + 2);
    if (c1 == t.npos || c2 == t.npos) return false;
    const std::string_view hs = t.substr(0, c1), ss = t.substr(c1 + 2, c2 - c1 - 2),
                           ls = t.substr(c2 + 2);
    if (ss.back() != '%' || ls.back() != '%') return false;
    long long h, s, l;
    int dh, ds, dl;
    if (!ReadDecimal(hs, h, dh) || !ReadDecimal(ss.substr(0, ss.size() - 1), s, ds) ||
        !ReadDecimal(ls.substr(0, ls.size() - 1), l, dl))
        return false;
    // All three over one power of ten U.
    const int d = std::max({dh, ds, dl});
    Int U = 1;
    for (int i = 0; i < d; ++i)
        U *= 10;
    auto scale = [&](long long v, int dv) {
        Int x = v;
        for (int i = dv; i < d; ++i)
            x *= 10;
        return x;
    };
    const Int H = scale(h, dh), S = scale(s, ds), L = scale(l, dl);
    if (H >= 360 * U || S > 100 * U || L > 100 * U) return false;
    // s and l as fractions over E = (100 U)^2.
    const Int P = 100 * U, E = P * P;
    const Int t2 = 2 * L <= P ? L * (S + P) : L * P + S * P - L * S;
    const Int t1 = 2 * L * P - t2;
    // Each channel over G = E * 60 U; the hue in 360 U to a turn.
    const Int G = E * 60 * U;
    const Int offsets[3] = {120 * U, 0, 240 * U}; // +1/3, 0, -1/3 of a turn
    out.onAHalf = false;
    for (int i = 0; i < 3; ++i) {
        const Int x = (H + offsets[i]) % (360 * U);
        Int v;
        if (x < 60 * U)
            v = t1 * 60 * U + (t2 - t1) * x;
        else if (x < 180 * U)
            v = t2 * 60 * U;
        else if (x < 240 * U)
            v = t1 * 60 * U + (t2 - t1) * (240 * U - x);
        else
            v = t1 * 60 * U;
        // round(255 v / G), halves up.
        const Int twice = 510 * v + G;
        out.rgb[i] = static_cast<int>(twice / (2 * G));
        if (twice % (2 * G) == 0) out.onAHalf = true;
    }
    return true;
}

class EveryColour : public ::testing::TestWithParam<int> {
protected:
    // Calls check for every colour of this part: a slice of the reds.
    template <class F> void forEachColour(F&& check) {
        const int from = GetParam() * 256 / Parts, to = from + 256 / Parts;
        for (int r = from; r < to; ++r)
            for (int g = 0; g < 256; ++g)
                for (int b = 0; b < 256; b += BlueStep)
                    check(TRGB{uint8_t(r), uint8_t(g), uint8_t(b)});
    }
    // The sanitizers look for memory faults, which a slice of the blues shows
    // as well as all of them; the plain build checks every colour.
#ifdef TINTPICK_SANITIZED
    static constexpr int BlueStep = 16;
#else
    static constexpr int BlueStep = 1;
#endif
};

// hsl() texts, against the exact reading here and the program's own reader.
TEST_P(EveryColour, HslReadsBackExactlyAndLandsOnNoHalf) {
    long anotherColour = 0, onAHalf = 0, misread = 0;
    std::string firstWrong, firstHalf, firstMisread;
    forEachColour([&](TRGB c) {
        const std::string text = FormatColor(c, CopyFormat::Hsl);
        ExactHsl e{};
        if (!ReadHslExactly(text, e)) {
            ADD_FAILURE() << text;
            return;
        }
        if (e.rgb[0] != c.r || e.rgb[1] != c.g || e.rgb[2] != c.b) {
            if (anotherColour++ == 0) firstWrong = HexCode(c) + " " + text;
        }
        if (e.onAHalf) {
            if (onAHalf++ == 0) firstHalf = HexCode(c) + " " + text;
        }
        if (ParseColorText(text) != c) {
            if (misread++ == 0) firstMisread = HexCode(c) + " " + text;
        }
    });
    EXPECT_EQ(anotherColour, 0) << "first: " << firstWrong;
    EXPECT_EQ(onAHalf, 0) << "first: " << firstHalf;
    EXPECT_EQ(misread, 0) << "first: " << firstMisread;
}

// Every other format on a fixed sample of 1,000,000 colours: oklch() reads
// back within one step of each channel, the others exactly.
TEST_P(EveryColour, OtherFormatsReadBackOnASample) {
    constexpr uint32_t Sample = 1000000, Slice = Sample / Parts;
    const auto part = static_cast<uint32_t>(GetParam());
    for (const CopyFormatInfo& f : CopyFormats()) {
        if (f.format == CopyFormat::Hsl) continue;
        const int tolerance = f.format == CopyFormat::Oklch ? 1 : 0;
        long wrong = 0;
        std::string first;
        for (uint32_t i = part * Slice; i < (part + 1) * Slice; i += BlueStep) {
            // An odd multiplier visits distinct colours spread over the cube.
            const uint32_t v = (i * 0x9E3779B1u) & 0xFFFFFF;
            const TRGB c{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
            const std::string text = FormatColor(c, f.format);
            const auto back = ParseColorText(text);
            auto near = [&](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
            if (!back || !near(back->r, c.r) || !near(back->g, c.g) || !near(back->b, c.b)) {
                if (wrong++ == 0) first = HexCode(c) + " " + text;
            }
        }
        EXPECT_EQ(wrong, 0) << f.key << ", first: " << first;
    }
}
INSTANTIATE_TEST_SUITE_P(ColorText, EveryColour, ::testing::Range(0, Parts));

} // namespace
