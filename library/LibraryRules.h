#pragma once
// Display-free rules of the colour library: the save dialog's default name,
// how stored channel values become colour bytes, the checks on values typed
// into the browser's cells, and the message box's geometry.
#include "colour/ColorTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tp {

// The name the save dialog proposes: each channel in upper-case hexadecimal,
// right-aligned in two characters and padded with a blank (5, 0, 255 gives
// " 5 0FF"), unlike the zero-padded code of the main window.
std::string DefaultColorName(const TRGB& rgb);

// A stored channel may hold any integer; used as a colour only its low 8 bits
// count (300 is 44, 256 is 0, -1 is 255).
constexpr uint8_t ChannelByte(int64_t stored) {
    return static_cast<uint8_t>(stored & 0xFF);
}

// The browser's integer fields and their ranges.
struct IntFieldRange {
    int64_t min;
    int64_t max;
};
inline constexpr IntFieldRange WordRange{0, 65535};
inline constexpr IntFieldRange IntegerRange{-2147483648LL, 2147483647LL};

// Converts the text typed into an integer cell. An empty (or all-blank) text
// clears the field (nullopt). Throws Error with the field's message, naming
// the field by its display label:
//   "'abc' is not a valid integer value for field '红'"
//   "65536 is not a valid value for field '红'. The allowed range is 0 to 65535"
std::optional<int64_t> ParseIntField(const std::string& text, const std::string& label,
                                     IntFieldRange range);

// The characters a numeric cell editor lets through.
bool IsNumericCellChar(char32_t c);

// Length of a text as the store counts it (Unicode code points) once its
// line breaks are written as CR LF pairs.
int StoredLength(const std::u32string& text);

// An edit of a text that holds at most limit characters (code points; with
// crlf, a line break counts as the CR LF pair it is stored as). before is the
// text as it was, after as the edit left it. What the edit put in is cut from
// its end to the room left; what it took out stays out. Text the edit did not
// touch is never shortened, even where it is longer than the limit already.
struct FittedEdit {
    std::u32string text;
    size_t caret = 0; // just after what was kept of the insertion
};
FittedEdit FitEdit(const std::u32string& before, const std::u32string& after, int limit, bool crlf);

// Converts line breaks typed as LF (or CR LF already) into CR LF pairs.
std::string WithCrLf(const std::string& utf8);

// ---- message box ----------------------------------------------------------

// The buttons of the message box, in the order of their bits.
enum MsgButton : int {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbAbort = 1 << 4,
    mbRetry = 1 << 5,
    mbIgnore = 1 << 6,
    mbAll = 1 << 7,
    mbNoToAll = 1 << 8,
    mbYesToAll = 1 << 9,
    mbHelp = 1 << 10,
};

enum MsgKind : int {
    mtWarning = 0,
    mtError = 1,
    mtInformation = 2,
    mtConfirmation = 3,
    mtCustom = 4
};

struct MsgButtonInfo {
    int bit;
    const char* name;
    const char* captionKey;
    int modalResult;
};

// The eleven buttons in set order.
const std::vector<MsgButtonInfo>& MessageButtons();

// The string-table key of a kind's caption; nullptr for the custom kind,
// which takes the application title.
const char* MessageCaptionKey(int kind);

struct MsgRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct MessageLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    MsgRect label;
    MsgRect icon;
    std::vector<MsgRect> buttons; // one per member of the set, in set order
    std::vector<int> buttonBits;  // the bit of each placed button
    int defaultBit = 0;           // 0: none
    int cancelBit = 0;            // 0: none
};

// The widest message text a box of at most maxWidth client pixels shows on
// its lines; a wider one is wrapped to it.
int MessageTextWidth(int maxWidth);

// Places the label, icon and buttons. labelWidth and labelHeight are the
// message text's size; buttonHeight the skin's button height (25 without
// one); the client width is kept between minWidth and maxWidth.
MessageLayout LayoutMessageBox(int labelWidth, int labelHeight, int buttons, int buttonHeight,
                               int minWidth, int maxWidth);

} // namespace tp
