#include "colour/ColorText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tp {

namespace {

constexpr NamedColor NamedColors[] = {
#include "colour/CssNamedColors.inc"
};

constexpr CopyFormatInfo Formats[] = {
    {CopyFormat::Bare, "RRGGBB", "RRGGBB"},      {CopyFormat::Hash, "#RRGGBB", "#RRGGBB"},
    {CopyFormat::Rgb, "rgb", "rgb(r, g, b)"},    {CopyFormat::Hsl, "hsl", "hsl(h, s%, l%)"},
    {CopyFormat::Hex0x, "0xRRGGBB", "0xRRGGBB"}, {CopyFormat::Name, "name", "CSS 颜色名称"},
};

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

std::string_view TrimAscii(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<TRGB> HexColor(std::string_view digits) {
    if (digits.size() != 6 && digits.size() != 3) return std::nullopt;
    std::array<int, 6> d{};
    for (size_t i = 0; i < digits.size(); ++i)
        if ((d[i] = HexDigit(digits[i])) < 0) return std::nullopt;
    if (digits.size() == 3) // #RGB stands for #RRGGBB
        return TRGB{static_cast<uint8_t>(d[0] * 17), static_cast<uint8_t>(d[1] * 17),
                    static_cast<uint8_t>(d[2] * 17)};
    return TRGB{static_cast<uint8_t>(d[0] * 16 + d[1]), static_cast<uint8_t>(d[2] * 16 + d[3]),
                static_cast<uint8_t>(d[4] * 16 + d[5])};
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The three arguments of rgb() or hsl(): separated by commas, or (the newer
// CSS syntax) by blanks alone.
std::optional<std::array<std::string_view, 3>> Arguments(std::string_view inner) {
    std::vector<std::string_view> parts;
    if (inner.find(',') != std::string_view::npos) {
        size_t start = 0;
        for (;;) {
            const size_t comma = inner.find(',', start);
            parts.push_back(TrimAscii(inner.substr(start, comma - start)));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
    } else {
        size_t i = 0;
        while (i < inner.size()) {
            while (i < inner.size() && (inner[i] == ' ' || inner[i] == '\t'))
                ++i;
            const size_t start = i;
            while (i < inner.size() && inner[i] != ' ' && inner[i] != '\t')
                ++i;
            if (i > start) parts.push_back(inner.substr(start, i - start));
        }
    }
    if (parts.size() != 3) return std::nullopt;
    for (const auto& p : parts)
        if (p.empty()) return std::nullopt;
    return std::array<std::string_view, 3>{parts[0], parts[1], parts[2]};
}

// A plain decimal number: digits with an optional fraction, or a fraction
// alone; a sign only where allowed.
std::optional<double> Decimal(std::string_view s, bool signAllowed) {
    if (signAllowed && !s.empty() && (s.front() == '-' || s.front() == '+')) {
        const bool negative = s.front() == '-';
        const auto v = Decimal(s.substr(1), false);
        if (!v) return std::nullopt;
        return negative ? -*v : *v;
    }
    size_t digits = 0, dots = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++dots;
        else
            return std::nullopt;
    }
    if (digits == 0 || dots > 1 || s.back() == '.') return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<TRGB> RgbFunction(std::string_view inner) {
    const auto args = Arguments(inner);
    if (!args) return std::nullopt;
    std::array<uint8_t, 3> v{};
    for (size_t i = 0; i < 3; ++i) {
        const std::string_view a = (*args)[i];
        int n = 0;
        const auto r = std::from_chars(a.data(), a.data() + a.size(), n);
        if (r.ec != std::errc() || r.ptr != a.data() + a.size() || n < 0 || n > 255 ||
            a.front() == '-')
            return std::nullopt;
        v[i] = static_cast<uint8_t>(n);
    }
    return TRGB{v[0], v[1], v[2]};
}

std::optional<TRGB> HslFunction(std::string_view inner) {
    const auto args = Arguments(inner);
    if (!args) return std::nullopt;
    std::string_view h = (*args)[0];
    if (h.size() > 3 && h.substr(h.size() - 3) == "deg") h.remove_suffix(3);
    const auto hue = Decimal(h, true);
    if (!hue) return std::nullopt;
    std::array<double, 2> sl{};
    for (size_t i = 0; i < 2; ++i) {
        std::string_view p = (*args)[i + 1];
        if (p.size() < 2 || p.back() != '%') return std::nullopt;
        p.remove_suffix(1);
        const auto v = Decimal(p, false);
        if (!v || *v > 100) return std::nullopt;
        sl[i] = *v;
    }
    return HslToRgb(*hue, sl[0], sl[1]);
}

// The body of name(...) when the text is exactly that, else nothing.
std::optional<std::string_view> FunctionBody(std::string_view lower, std::string_view name) {
    if (lower.size() < name.size() + 2 || lower.substr(0, name.size()) != name) return std::nullopt;
    std::string_view rest = TrimAscii(lower.substr(name.size()));
    if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') return std::nullopt;
    return TrimAscii(rest.substr(1, rest.size() - 2));
}

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

// A number with at most `decimals` decimals, without trailing zeros.
std::string Number(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string HslText(TRGB c) {
    const Hsl v = RgbToHsl(c);
    std::string text;
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        double h = std::round(v.h * scale) / scale;
        if (h >= 360) h -= 360;
        const double s = std::round(v.s * scale) / scale;
        const double l = std::round(v.l * scale) / scale;
        text = "hsl(" + Number(h, decimals) + ", " + Number(s, decimals) + "%, " +
               Number(l, decimals) + "%)";
        if (HslToRgb(h, s, l) == c) break;
    }
    return text;
}

// The text as a message shows it: control characters as blanks, and cut
// short (at a character boundary) when long.
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
    char buf[40];
    switch (f) {
    case CopyFormat::Bare:
        return HexCode(c);
    case CopyFormat::Hash:
        return "#" + HexCode(c);
    case CopyFormat::Rgb:
        std::snprintf(buf, sizeof buf, "rgb(%d, %d, %d)", c.r, c.g, c.b);
        return buf;
    case CopyFormat::Hsl:
        return HslText(c);
    case CopyFormat::Hex0x:
        return "0x" + HexCode(c);
    case CopyFormat::Name:
        if (const auto name = CssName(c)) return std::string(*name);
        return "#" + HexCode(c);
    }
    return HexCode(c);
}

TRGB HslToRgb(double h, double s, double l) {
    h = std::fmod(h, 360.0);
    if (h < 0) h += 360;
    s = std::clamp(s / 100, 0.0, 1.0);
    l = std::clamp(l / 100, 0.0, 1.0);
    const double a = s * std::min(l, 1 - l);
    auto channel = [&](double n) {
        const double k = std::fmod(n + h / 30, 12.0);
        const double v = l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
        // Halves go up, as browsers round them.
        return static_cast<uint8_t>(std::clamp(std::floor(v * 255 + 0.5), 0.0, 255.0));
    };
    return {channel(0), channel(8), channel(4)};
}

std::optional<TRGB> ParseColorText(std::string_view text) {
    const std::string_view t = Trim(text);
    if (t.empty()) return std::nullopt;
    if (t.front() == '#') return HexColor(t.substr(1));
    if (t.size() == 8 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) return HexColor(t.substr(2));
    if (t.size() == 6) {
        if (const auto c = HexColor(t)) return c;
    }
    const std::string lower = Lower(t);
    if (const auto body = FunctionBody(lower, "rgb")) return RgbFunction(*body);
    if (const auto body = FunctionBody(lower, "hsl")) return HslFunction(*body);
    for (const auto& n : NamedColors)
        if (lower == n.name) return n.rgb;
    return std::nullopt;
}

std::optional<TRGB> ParseHexCode(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    return HexColor(text);
}

std::string NotAColorMessage(std::string_view text) {
    return "无法识别的颜色：“" + Shown(Trim(text)) +
           "”。\n可以粘贴的颜色写法：#RRGGBB、#RGB、RRGGBB、0xRRGGBB、rgb(r, g, b)、"
           "hsl(h, s%, l%) 或 CSS 颜色名称（如 steelblue），前后可以带空白。";
}

} // namespace tp
