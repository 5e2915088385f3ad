#pragma once
// Palette files: a list of named colours written as a GIMP palette (.gpl),
// CSS custom properties (.css) or JSON, and GIMP palettes and the program's
// own .css read back (JSON is read with Qt's reader, library/PaletteIo).
// Text in and out is UTF-8; what is written always is.
#include "colour/ColorTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

struct PaletteEntry {
    std::string name;
    TRGB rgb;
    std::string comment; // written where the format has room for it
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct Palette {
    std::string name;
    int columns = 0; // how many columns GIMP shows; 0 lets it choose
    std::vector<PaletteEntry> entries;
};

enum class PaletteFormat { Gpl, Css, Json };

// The format a file name asks for by its extension (.gpl, .css, .json, in
// any letter case); nothing for any other.
std::optional<PaletteFormat> PaletteFormatOf(std::string_view fileName);

// GIMP's palette format: the "GIMP Palette" line, "Name:", "Columns:",
// then "R G B<tab>name" lines. Names lose line breaks, and blanks at their
// ends, which the format strips.
std::string WriteGpl(const Palette& p);
// A :root rule with one custom property per colour (--dark-red: #8B0000;),
// the name turned into a property name, unique within the rule; the name
// itself and the comment follow in a CSS comment where they say more.
std::string WriteCss(const Palette& p);
// {"name": ..., "colors": [{"name", "hex", "rgb", "comment"}, ...]}
std::string WriteJson(const Palette& p);
std::string WritePalette(const Palette& p, PaletteFormat f);

// Reads a GIMP palette: the "GIMP Palette" line first; "Name:" and
// "Columns:" (0 to 256) before the first colour, both optional (without a
// name the file's base name stands in); "#" comment lines and blank lines
// anywhere; LF, CR LF or CR line ends, lines up to 64 KiB. Each colour line holds R, G and B (0 to
// 255) and, after a blank, an optional name whose end blanks are stripped.
// Throws Error naming the line for anything else, and for text that is not
// UTF-8.
Palette ReadGpl(std::string_view text, std::string_view fileBaseName);

// Reads the custom properties of a .css file as WriteCss writes them: each
// "--name: #RRGGBB;" (or #RGB) is a colour, named by the comment after it
// (up to " — ") or else by the property; the rule's own lines, blank lines
// and comments are passed over. Throws Error naming the line for anything
// else, and for text that is not UTF-8.
Palette ReadCss(std::string_view text, std::string_view fileBaseName);

} // namespace tp
