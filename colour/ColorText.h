#pragma once
// A colour as text: the forms it is copied in, and reading back whatever a
// user pastes (a code, rgb(), hsl(), a CSS name). The code edits, the copy
// command and the palette files all go through here, so that every place
// writes and reads the same forms.
#include "colour/ColorTypes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tp {

// The forms "复制" can copy the current colour in.
enum class CopyFormat { Bare, Hash, Rgb, Hsl, Hex0x, Name };

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
// hsl(0, 100%, 40.6%), 0xCF0000, or its CSS name. hsl() carries as many
// decimals as it takes to read back as the same colour (most colours need
// none or one). A colour without a CSS name is written #RRGGBB in the Name
// format, which every place that takes a name also takes.
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

// Reads a whole colour text, ignoring blanks around it. Accepts #RRGGBB,
// #RGB, RRGGBB, 0xRRGGBB, rgb(r, g, b) with r, g, b in 0..255,
// hsl(h, s%, l%) and the CSS names, without regard to letter case. Anything
// else gives nothing: a text is taken whole or not at all.
std::optional<TRGB> ParseColorText(std::string_view text);

// Exactly six hexadecimal digits, either case, as typed into a code edit.
std::optional<TRGB> ParseHexCode(std::string_view text);

// The refusal of a text that is no colour, naming what is accepted.
std::string NotAColorMessage(std::string_view text);

// hsl() with h in degrees, s and l in percent, to 8-bit channels (the
// conversion browsers use).
TRGB HslToRgb(double h, double s, double l);

} // namespace tp
