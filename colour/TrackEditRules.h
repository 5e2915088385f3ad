#pragma once
// The value/text rules of the channel track edit and the geometry of its
// popup track bar, kept free of widgets so they can be tested directly.
#include <cstdint>
#include <string_view>

namespace tp::trackedit {

// Limits v to [min, max]; when the two bounds are equal nothing is limited.
int32_t Clamp(int32_t v, int32_t min, int32_t max);

// Not empty, not "-" alone, only digits and at most one leading "-".
bool IsValidText(std::string_view text);

// Whether a typed number tmp, clamped to clamped, must have its text
// replaced at once. With 0..255 a number above 255 is corrected, while a
// negative one keeps its text until the edit loses focus.
bool NeedsCorrection(int32_t tmp, int32_t clamped, int32_t min);

// Whether the character a key event carries was typed into the text. X11
// hands the Delete key (also with Shift, which cuts) over with DEL, 127: an
// editing key like the arrows, which the edits' character filters must let
// through untouched.
bool IsTypedCharacter(char32_t ch);

enum class CharVerdict { Pass, Refuse };
// A typed character: "-", digits and control characters other than carriage
// return pass; "-" only while the text holds none yet. Everything else is
// refused (and the edit beeps).
CharVerdict CheckTypedChar(char32_t ch, std::string_view currentText);

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};
struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Where the popup goes. The anchor is the screen position of the edit's
// left edge (or, for left-aligned popups wider or narrower than the edit,
// of the point that lines the popup's right edge up with the edit's) and
// the edit's top. The popup stays inside the work area horizontally and
// opens above the edit where there is no room below it.
Point PopupPosition(Point anchor, int editHeight, int popupWidth, int popupHeight,
                    const Rect& workArea);

// The anchor's x for a popup of popupWidth under an edit at editLeft.
int PopupAnchorX(bool alignRight, int editLeft, int editWidth, int popupWidth);

// Geometry of the unskinned track bar of a control of the given size.
struct TrackGeometry {
    Rect track;     // the client area inset by 2 pixels
    int thumbWidth; // half the thumb height, rounded down
    int thumbHeight;
    int travel; // how far the thumb's left edge can move
};
TrackGeometry Geometry(int width, int height);

// The thumb's left edge for a value.
int ThumbLeft(const TrackGeometry& g, int32_t value, int32_t min, int32_t max);
// The value for a thumb position p (distance from the track's left end),
// rounding half to even; p is held to 0..travel.
int32_t ValueAt(int p, int travel, int32_t min, int32_t max);

} // namespace tp::trackedit
