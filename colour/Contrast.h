#pragma once
// The WCAG 2.2 contrast ratio between two colours, and what it passes.
#include "colour/ColorTypes.h"

#include <string>

namespace tp {

// Relative luminance of an sRGB colour: 0 for black, 1 for white.
double RelativeLuminance(TRGB c);

// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: 1 to 21, either order.
double ContrastRatio(TRGB a, TRGB b);

// The colour to write text in over `back`: `preferred` (the inverse colour,
// where the program draws text in it) while it contrasts by 3:1 or more,
// otherwise black or white, whichever contrasts more. A mid-tone's inverse
// is nearly itself (7F7F7F on 808080).
TRGB LegibleOn(TRGB back, TRGB preferred);

// Black or white, whichever contrasts more with c: the second colour of a
// contrast check that has not been given one.
TRGB StrongerOfBlackAndWhite(TRGB c);

// The four success criteria: AA asks 4.5 for normal text and 3 for large
// text (18 pt, or 14 pt bold), AAA 7 and 4.5.
struct ContrastMarks {
    bool aaNormal = false, aaLarge = false, aaaNormal = false, aaaLarge = false;
};
ContrastMarks MarksFor(double ratio);

// The ratio to two decimals, "4.48:1". A ratio just below a threshold is
// cut rather than rounded up to it, so the figure never contradicts a
// mark (4.4994 shows 4.49, not a failing 4.50).
std::string RatioText(double ratio);

// The highest level a ratio passes, as its threshold: 7 (AAA), 4.5 (AA),
// 3 (AA for large text only), or 0 (none).
double LevelPassed(double ratio);
// Its name for a report: "AAA", "AA", "AA large" or "fails AA".
std::string LevelName(double ratio);
// Whether a pair as someone with a colour-vision deficiency sees it falls
// below the level the pair itself passes.
bool FallsBelowLevel(double ratio, double seenRatio);

// One line for a report: "#777777 on #FFFFFF: 4.48:1 (AA large)", the
// first colour as text on the second.
std::string ContrastReport(TRGB text, TRGB back);

} // namespace tp
