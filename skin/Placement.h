#pragma once
// Where windows go when they are first shown.
namespace tp {

struct Area {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Pos {
    int left = 0, top = 0;
    friend bool operator==(const Pos&, const Pos&) = default;
};

// Centres a window of the given size in a work area: Left = area left +
// area width div 2 - window width div 2, Top likewise, dividing toward zero.
constexpr Pos CenterInArea(const Area& area, int width, int height) {
    return {area.left + area.width / 2 - width / 2, area.top + area.height / 2 - height / 2};
}

} // namespace tp
