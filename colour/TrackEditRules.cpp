#include "colour/TrackEditRules.h"

#include "base/Rounding.h"

namespace tp::trackedit {

int32_t Clamp(int32_t v, int32_t min, int32_t max) {
    if (min == max) return v;
    if (v < min) return min;
    if (v > max) return max;
    return v;
}

bool IsValidText(std::string_view text) {
    if (text.empty() || text == "-") return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-' && i == 0) continue;
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool NeedsCorrection(int32_t tmp, int32_t clamped, int32_t min) {
    if (clamped < tmp) return true;
    if (tmp < 0 && clamped < 0 && clamped > tmp) return true;
    if (min > 0 && tmp < 0) return true;
    if (min < 0 && tmp > 0) return true;
    return false;
}

bool IsTypedCharacter(char32_t ch) {
    return ch != 0x7F;
}

CharVerdict CheckTypedChar(char32_t ch, std::string_view currentText) {
    if (ch == U'-')
        return currentText.find('-') == std::string_view::npos ? CharVerdict::Pass
                                                               : CharVerdict::Refuse;
    if (ch >= U'0' && ch <= U'9') return CharVerdict::Pass;
    if (ch < 32 && ch != 13) return CharVerdict::Pass;
    return CharVerdict::Refuse;
}

int PopupAnchorX(bool alignRight, int editLeft, int editWidth, int popupWidth) {
    if (alignRight && popupWidth != editWidth) return editLeft + editWidth - popupWidth;
    return editLeft;
}

Point PopupPosition(Point anchor, int editHeight, int popupWidth, int popupHeight,
                    const Rect& workArea) {
    Point p{anchor.x, anchor.y + editHeight};
    if (p.x + popupWidth > workArea.right())
        p.x = workArea.right() - popupWidth;
    else if (p.x < workArea.left)
        p.x = workArea.left;
    if (p.y + popupHeight > workArea.bottom()) p.y = anchor.y - popupHeight;
    return p;
}

TrackGeometry Geometry(int width, int height) {
    TrackGeometry g;
    g.track = Rect{2, 2, width - 4, height - 4};
    g.thumbHeight = height - 4;
    g.thumbWidth = g.thumbHeight / 2;
    g.travel = g.track.width - 2 * (g.thumbWidth / 2);
    return g;
}

int ThumbLeft(const TrackGeometry& g, int32_t value, int32_t min, int32_t max) {
    if (max == min) return g.track.left;
    const double frac = static_cast<double>(value - min) / static_cast<double>(max - min);
    return g.track.left + static_cast<int>(Round(g.travel * frac));
}

int32_t ValueAt(int p, int travel, int32_t min, int32_t max) {
    double r = 0.0;
    if (travel > 0) {
        r = static_cast<double>(p) / travel;
        if (r < 0) r = 0;
        if (r > 1) r = 1;
    }
    return min + static_cast<int32_t>(Round(static_cast<double>(max - min) * r));
}

} // namespace tp::trackedit
