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

bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
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
            return false;
        }
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        if ((n == 1 && cp < 0x80) || (n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += n + 1;
    }
    return true;
}

// A line as an error message quotes it: cut short when long.
std::string Quoted(std::string_view line) {
    std::string out;
    size_t chars = 0;
    for (const char c : line) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++chars > 40) {
            out += "…";
            break;
        }
        out += c;
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

std::string WriteGpl(const Palette& p) {
    std::string out = "GIMP Palette\n";
    out += "Name: " + std::string(Strip(OneLine(p.name))) + "\n";
    if (p.columns > 0) out += "Columns: " + std::to_string(p.columns) + "\n";
    out += "# " + std::to_string(p.entries.size()) + " colours, written by Tintpick\n";
    for (const PaletteEntry& e : p.entries) {
        char rgb[16];
        std::snprintf(rgb, sizeof rgb, "%3d %3d %3d", e.rgb.r, e.rgb.g, e.rgb.b);
        out += rgb;
        const std::string name(Strip(OneLine(e.name)));
        if (!name.empty()) out += "\t" + name;
        out += "\n";
    }
    return out;
}

std::string WriteCss(const Palette& p) {
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
        std::string note;
        if (ident != e.name) note = e.name;
        if (!e.comment.empty()) note += (note.empty() ? "" : " — ") + e.comment;
        if (!note.empty()) out += " /* " + CssComment(note) + " */";
        out += "\n";
    }
    return out + "}\n";
}

std::string WriteJson(const Palette& p) {
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

Palette ReadGpl(std::string_view text, std::string_view fileBaseName) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    Palette p;
    p.name = std::string(fileBaseName);
    bool header = true; // Name: and Columns: come before the first colour
    size_t lineNo = 0;
    size_t start = 0;
    while (start < text.size() || lineNo == 0) {
        const size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? text.size() : end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!ValidUtf8(line)) LineError(lineNo, "不是 UTF-8 文本");
        if (lineNo == 1) {
            if (Strip(line) != "GIMP Palette")
                LineError(1, "应为“GIMP Palette”，这不是 GIMP 调色板文件");
            continue;
        }
        if (Strip(line).empty() || line.front() == '#') continue;
        if (header && line.substr(0, 5) == "Name:") {
            p.name = std::string(Strip(line.substr(5)));
            continue;
        }
        if (header && line.substr(0, 8) == "Columns:") {
            const auto n = SmallNumber(Strip(line.substr(8)), 255);
            if (!n)
                LineError(lineNo,
                          "：Columns 应为 0 到 255 的整数，而不是" + Quoted(line.substr(8)));
            p.columns = *n;
            continue;
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
    }
    return p;
}

} // namespace tp
