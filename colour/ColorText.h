#pragma once
// A colour as text: the forms it is copied in, and reading back whatever a
// user pastes (a code, rgb(), hsl(), oklch(), a CSS name, a colour as Flutter,
// Swift or Qt code). The code edits, the copy command and the palette files
// all go through here, so that every place writes and reads the same forms.
#include "colour/ColorTypes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tp {

// The forms "复制" can copy the current colour in.
enum class CopyFormat {
    Bare,
    Hash,
    Rgb,
    RgbSpace,
    Hsl,
    Oklch,
    Hex0x,
    Name,
    Flutter,
    UIColor,
    QColor
};

struct CopyFormatInfo {
    CopyFormat format;
    const char* key;   // kept in the settings; never changes
    const char* label; // shown in the format menu
};
// Every format, in menu order, the bare code first.
std::span<const CopyFormatInfo> CopyFormats();
const CopyFormatInfo& CopyFormatOf(CopyFormat f);
std::optional<CopyFormat> CopyFormatFromKey(std::string_view key);

// The colour written in a format: CF0000, #CF0000, rgb(207, 0, 0),
// rgb(207 0 0), hsl(0, 100%, 40.6%), oklch(0.537 0.220 29.234), 0xCF0000,
// its CSS name, Color(0xFFCF0000),
// UIColor(red: 0.812, green: 0.000, blue: 0.000, alpha: 1.0) or
// QColor(207, 0, 0).
// hsl() carries the fewest decimals with which it reads back, in exact
// arithmetic, as the same colour and lands on no exact half in any channel,
// so that every reader reads it alike whatever its float order (most
// colours need none or one). oklch() has three decimals (four or five for L
// and C where three would not do) and reads back within one step of each
// channel. A colour without a CSS name is written
// #RRGGBB in the Name format, which every place that takes a name also
// takes.
std::string FormatColor(TRGB c, CopyFormat f);

struct NamedColor {
    // The list is written as CSS writes it, 0xRRGGBB.
    constexpr NamedColor(const char* n, uint32_t rrggbb)
        : name(n), rgb{static_cast<uint8_t>(rrggbb >> 16), static_cast<uint8_t>(rrggbb >> 8),
                       static_cast<uint8_t>(rrggbb)} {}
    const char* name;
    TRGB rgb;
};
// The named colours of CSS, sorted by name (aliases included).
std::span<const NamedColor> CssNamedColors();
// The CSS name of exactly this colour; of two aliases, the first by name
// (aqua rather than cyan, gray rather than grey).
std::optional<std::string_view> CssName(TRGB c);

// Reads a whole colour text, ignoring blanks around it, without regard to
// letter case: #RRGGBB, #RGB, RRGGBB, 0xRRGGBB, rgb(), hsl() and oklch() in
// the comma and the blank-separated syntax, with numbers as CSS writes them
// (2.5, +1, 1e2, percentages), the CSS names, Color(0xAARRGGBB),
// UIColor(red:green:blue:alpha:) and QColor(r, g, b); also a CSS
// declaration naming one ("color: #E63946;"). rgb() and hsl() are read in
// exact arithmetic and halves go up, as CSS rounds; an oklch() outside sRGB
// is brought in as CSS maps it for an sRGB screen. An alpha (#RRGGBBAA,
// rgba(), "/ a", ...) is taken when it is full opacity. Anything else gives
// nothing: a text is taken whole or not at all.
std::optional<TRGB> ParseColorText(std::string_view text);

// Exactly six hexadecimal digits, either case, as typed into a code edit.
std::optional<TRGB> ParseHexCode(std::string_view text);

// The refusal of a text ParseColorText does not take: a colour that is not
// opaque is told as such; anything else is no colour, and the message names
// what is accepted.
std::string NotAColorMessage(std::string_view text);

} // namespace tp
