#include "library/Palette.h"

#include "base/Convert.h"

#include <cstdio>
#include <set>

namespace tp {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Strip(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// One line of a file: line breaks become blanks.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// The length of the UTF-8 sequence that starts at s[i], or 0 when none
// does: a stray or missing continuation byte, an overlong form, a surrogate
// or a value past U+10FFFF.
size_t SequenceAt(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    size_t n;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        n = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 3;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n >= s.size()) return 0;
    for (size_t k = 1; k <= n; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return 0;
    return n + 1;
}

bool ValidUtf8(std::string_view s) {
    for (size_t i = 0, n; i < s.size(); i += n)
        if ((n = SequenceAt(s, i)) == 0) return false;
    return true;
}

// Text for a file: what is not UTF-8 becomes U+FFFD, one for each broken
// sequence, so that every reader takes the file.
std::string Utf8(std::string_view s) {
    if (ValidUtf8(s)) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    for (size_t i = 0; i < s.size();) {
        if (const size_t n = SequenceAt(s, i)) {
            out.append(s.substr(i, n));
            i += n;
            continue;
        }
        out += "\xEF\xBF\xBD";
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            ++i;
    }
    return out;
}

// GIMP's own reader takes lines of any length, but a line longer than any
// palette needs is a file that is no palette; refusing it early keeps a
// huge name from being copied and converted several times over.
constexpr size_t MaxLineBytes = 64 * 1024;

// Between a colour's name and its comment in a .css file.
constexpr std::string_view CssNoteSeparator = " — ";

// A line as an error message quotes it: cut short when long.
// Control characters show as their pictures (U+2400 on), since a NUL would
// end the message where it is read as a C string.
std::string Quoted(std::string_view line) {
    std::string out;
    size_t chars = 0;
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u & 0xC0) != 0x80 && ++chars > 40) {
            out += "…";
            break;
        }
        if (u < 0x20) {
            out += "\xE2\x90";
            out += static_cast<char>(0x80 + u);
        } else {
            out += c;
        }
    }
    return "“" + out + "”";
}

[[noreturn]] void LineError(size_t line, const std::string& what) {
    throw Error("第 " + std::to_string(line) + " 行" + what);
}

// Digits only, 0 to `max`.
std::optional<int> SmallNumber(std::string_view s, int max) {
    if (s.empty() || s.size() > 3) return std::nullopt;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > max) return std::nullopt;
    return v;
}

std::string HexHash(TRGB c) {
    return "#" + HexCode(c);
}

std::string CssComment(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    for (size_t at; (at = out.find("*/")) != std::string::npos;)
        out.replace(at, 2, "* /");
    return out;
}

// A custom property name from a colour name: letters in lower case, digits,
// "-" and "_" kept, characters beyond ASCII kept (CSS allows them in
// names), anything else a "-".
std::string CssIdent(std::string_view name) {
    std::string out;
    size_t i = 0;
    while (i < name.size()) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            // No-break and ideographic spaces are blanks, like ASCII ones.
            if (name.substr(i, 2) == "\xC2\xA0") {
                out += '-';
                i += 2;
                continue;
            }
            if (name.substr(i, 3) == "\xE3\x80\x80") {
                out += '-';
                i += 3;
                continue;
            }
            out += name[i++];
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
            out += static_cast<char>(c);
        else
            out += '-';
        ++i;
    }
    std::string collapsed;
    for (const char c : out)
        if (!(c == '-' && (collapsed.empty() || collapsed.back() == '-'))) collapsed += c;
    while (!collapsed.empty() && collapsed.back() == '-')
        collapsed.pop_back();
    if (collapsed.empty()) return "color";
    if (collapsed[0] >= '0' && collapsed[0] <= '9') return "color-" + collapsed;
    return collapsed;
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

} // namespace

std::optional<PaletteFormat> PaletteFormatOf(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    const size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext == "gpl") return PaletteFormat::Gpl;
    if (ext == "css") return PaletteFormat::Css;
    if (ext == "json") return PaletteFormat::Json;
    return std::nullopt;
}

namespace {
Palette Clean(const Palette& in) {
    Palette p{Utf8(in.name), in.columns, {}};
    p.entries.reserve(in.entries.size());
    for (const PaletteEntry& e : in.entries)
        p.entries.push_back({Utf8(e.name), e.rgb, Utf8(e.comment)});
    return p;
}

// At most `bytes` of s, cut between characters.
std::string_view CutBytes(std::string_view s, size_t bytes) {
    if (s.size() <= bytes) return s;
    while (bytes > 0 && (static_cast<unsigned char>(s[bytes]) & 0xC0) == 0x80)
        --bytes;
    return s.substr(0, bytes);
}
} // namespace

std::string WriteGpl(const Palette& in) {
    const Palette p = Clean(in);
    // Names are cut to what a line may hold, so that the file reads back.
    constexpr size_t room = MaxLineBytes - 16;
    std::string out = "GIMP Palette\n";
    out += "Name: " + std::string(Strip(CutBytes(OneLine(p.name), room))) + "\n";
    if (p.columns > 0) out += "Columns: " + std::to_string(p.columns) + "\n";
    out += "# " + std::to_string(p.entries.size()) + " colours, written by Tintpick\n";
    for (const PaletteEntry& e : p.entries) {
        char rgb[16];
        std::snprintf(rgb, sizeof rgb, "%3d %3d %3d", e.rgb.r, e.rgb.g, e.rgb.b);
        out += rgb;
        const std::string name(Strip(CutBytes(OneLine(e.name), room)));
        if (!name.empty()) out += "\t" + name;
        out += "\n";
    }
    return out;
}

std::string WriteCss(const Palette& in) {
    const Palette p = Clean(in);
    std::string out = "/* " + CssComment(p.name) + ": " + std::to_string(p.entries.size()) +
                      " colours, written by Tintpick */\n:root {\n";
    std::set<std::string> taken;
    for (const PaletteEntry& e : p.entries) {
        const std::string base = CssIdent(e.name);
        std::string ident = base;
        for (int n = 2; taken.count(ident); ++n)
            ident = base + "-" + std::to_string(n);
        taken.insert(ident);
        out += "  --" + ident + ": " + HexHash(e.rgb) + ";";
        // The comment holds the name where the property does not say it, and
        // always before a comment, so that a reader tells the two apart. A
        // colour without a name reads back with its property's name.
        if ((ident != e.name && !e.name.empty()) || !e.comment.empty()) {
            std::string note = e.name;
            if (!e.comment.empty()) note += std::string(CssNoteSeparator) + e.comment;
            out += " /* " + CssComment(note) + " */";
        }
        out += "\n";
    }
    return out + "}\n";
}

std::string WriteJson(const Palette& in) {
    const Palette p = Clean(in);
    std::string out = "{\n  \"name\": " + JsonString(p.name) + ",\n  \"colors\": [";
    for (size_t i = 0; i < p.entries.size(); ++i) {
        const PaletteEntry& e = p.entries[i];
        char rgb[32];
        std::snprintf(rgb, sizeof rgb, "[%d, %d, %d]", e.rgb.r, e.rgb.g, e.rgb.b);
        out += i ? ",\n    " : "\n    ";
        out += "{\"name\": " + JsonString(e.name) + ", \"hex\": \"" + HexHash(e.rgb) +
               "\", \"rgb\": " + rgb + ", \"comment\": " + JsonString(e.comment) + "}";
    }
    out += p.entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

std::string WritePalette(const Palette& p, PaletteFormat f) {
    switch (f) {
    case PaletteFormat::Gpl:
        return WriteGpl(p);
    case PaletteFormat::Css:
        return WriteCss(p);
    case PaletteFormat::Json:
        return WriteJson(p);
    }
    return WriteGpl(p);
}

namespace {
// Calls f(number, line) for each line of a text file, after a byte order
// mark: lines end in LF, CR LF or CR alone (as old Mac tools wrote them), and
// an empty text is one empty line. A line that is too long or not UTF-8 is
// refused with its number before f sees it.
template <class F> void ForEachLine(std::string_view text, F&& f) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    size_t lineNo = 0;
    size_t start = 0;
    while (start < text.size() || lineNo == 0) {
        const size_t end = text.find_first_of("\r\n", start);
        const size_t stop = end == std::string_view::npos ? text.size() : end;
        ++lineNo;
        if (stop - start > MaxLineBytes)
            LineError(lineNo, "太长：一行最多 " + std::to_string(MaxLineBytes / 1024) +
                                  " KiB，这不是调色板文件");
        const std::string_view line = text.substr(start, stop - start);
        start = stop;
        if (start < text.size()) start += text.substr(start, 2) == "\r\n" ? 2u : 1u;
        if (!ValidUtf8(line)) LineError(lineNo, "不是 UTF-8 文本");
        f(lineNo, line);
    }
}
} // namespace

Palette ReadGpl(std::string_view text, std::string_view fileBaseName) {
    Palette p;
    p.name = std::string(fileBaseName);
    bool header = true; // Name: and Columns: come before the first colour
    ForEachLine(text, [&](size_t lineNo, std::string_view line) {
        if (lineNo == 1) {
            if (Strip(line) != "GIMP Palette")
                LineError(1, "应为“GIMP Palette”，这不是 GIMP 调色板文件");
            return;
        }
        if (Strip(line).empty() || line.front() == '#') return;
        if (header && line.substr(0, 5) == "Name:") {
            p.name = std::string(Strip(line.substr(5)));
            return;
        }
        if (header && line.substr(0, 8) == "Columns:") {
            // GIMP takes 0 to 256.
            const auto n = SmallNumber(Strip(line.substr(8)), 256);
            if (!n)
                LineError(lineNo,
                          "：Columns 应为 0 到 256 的整数，而不是" + Quoted(line.substr(8)));
            p.columns = *n;
            return;
        }
        header = false;
        // R, G and B, each after blanks; then, after a blank, the name.
        std::string_view rest = line;
        int rgb[3];
        for (int& v : rgb) {
            while (!rest.empty() && IsBlank(rest.front()))
                rest.remove_prefix(1);
            size_t n = 0;
            while (n < rest.size() && !IsBlank(rest[n]))
                ++n;
            const auto value = SmallNumber(rest.substr(0, n), 255);
            if (!value)
                LineError(lineNo, "：" + Quoted(line) +
                                      " 不是颜色行。颜色行是“红 绿 蓝 名称”，三个分量都是 0 到 "
                                      "255 的整数，名称可以没有");
            v = *value;
            rest.remove_prefix(n);
        }
        p.entries.push_back({std::string(Strip(rest)),
                             {static_cast<uint8_t>(rgb[0]), static_cast<uint8_t>(rgb[1]),
                              static_cast<uint8_t>(rgb[2])},
                             {}});
    });
    return p;
}

namespace {
std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

// #RRGGBB or #RGB.
std::optional<TRGB> HashColor(std::string_view s) {
    if (s.empty() || s[0] != '#' || (s.size() != 7 && s.size() != 4)) return std::nullopt;
    const bool shortForm = s.size() == 4;
    uint8_t c[3];
    for (size_t k = 0; k < 3; ++k) {
        const auto hi = HexDigit(s[1 + (shortForm ? k : 2 * k)]);
        const auto lo = HexDigit(s[shortForm ? 1 + k : 2 + 2 * k]);
        if (!hi || !lo) return std::nullopt;
        c[k] = static_cast<uint8_t>(*hi * 16 + *lo);
    }
    return TRGB{c[0], c[1], c[2]};
}
} // namespace

Palette ReadCss(std::string_view text, std::string_view fileBaseName) {
    Palette p;
    p.name = std::string(fileBaseName);
    bool inComment = false;
    ForEachLine(text, [&](size_t lineNo, std::string_view line) {
        std::string_view rest = Strip(line);
        if (inComment) {
            const size_t end = rest.find("*/");
            if (end == std::string_view::npos) return;
            inComment = false;
            rest = Strip(rest.substr(end + 2));
        }
        if (rest.empty() || rest == ":root {" || rest == ":root{" || rest == "}") return;
        if (rest.substr(0, 2) == "/*") {
            inComment = rest.find("*/", 2) == std::string_view::npos;
            return;
        }
        const auto bad = [&] {
            LineError(lineNo,
                      "：" + Quoted(line) + " 不是颜色。每个颜色一行，写作“--名称: #RRGGBB;”");
        };
        const size_t colon = rest.find(':');
        const size_t semi = rest.find(';');
        if (rest.substr(0, 2) != "--" || colon == std::string_view::npos ||
            semi == std::string_view::npos || semi < colon)
            bad();
        const std::string_view ident = Strip(rest.substr(2, colon - 2));
        const auto rgb = HashColor(Strip(rest.substr(colon + 1, semi - colon - 1)));
        if (ident.empty() || !rgb) bad();
        std::string name(ident);
        std::string_view after = Strip(rest.substr(semi + 1));
        if (after.substr(0, 2) == "/*") {
            const size_t end = after.find("*/", 2);
            if (end == std::string_view::npos || !Strip(after.substr(end + 2)).empty()) bad();
            std::string_view note = after.substr(2, end - 2);
            // Written as "/* " note " */".
            if (!note.empty() && note.front() == ' ') note.remove_prefix(1);
            if (!note.empty() && note.back() == ' ') note.remove_suffix(1);
            name = std::string(note.substr(0, note.find(CssNoteSeparator)));
        } else if (!after.empty()) {
            bad();
        }
        p.entries.push_back({name, *rgb, {}});
    });
    return p;
}

} // namespace tp
