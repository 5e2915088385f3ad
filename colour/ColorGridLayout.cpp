#include "colour/ColorGridLayout.h"

#include <algorithm>

namespace tp::grid {

namespace {
constexpr TRGB Code(uint32_t rrggbb) {
    return {static_cast<uint8_t>(rrggbb >> 16), static_cast<uint8_t>(rrggbb >> 8),
            static_cast<uint8_t>(rrggbb)};
}
} // namespace

const std::array<TRGB, 48> BasicColors = {
    Code(0x000000), Code(0x400000), Code(0x800000), Code(0x804040), Code(0xFF0000), Code(0xFF8080),
    Code(0x808000), Code(0x804000), Code(0xFF8000), Code(0xFF8040), Code(0xFFFF00), Code(0xFFFF80),
    Code(0x808040), Code(0x004000), Code(0x008000), Code(0x00FF00), Code(0x80FF00), Code(0x80FF80),
    Code(0x808080), Code(0x004040), Code(0x008040), Code(0x008080), Code(0x00FF40), Code(0x00FF80),
    Code(0x408080), Code(0x000080), Code(0x0000FF), Code(0x004080), Code(0x00FFFF), Code(0x80FFFF),
    Code(0xC0C0C0), Code(0x000040), Code(0x0000A0), Code(0x8080FF), Code(0x0080C0), Code(0x0080FF),
    Code(0x400040), Code(0x80424F), Code(0x800080), Code(0x800040), Code(0x8080C0), Code(0xFF80C0),
    Code(0xFFFFFF), Code(0x400080), Code(0x8000FF), Code(0xFF0080), Code(0xFF00FF), Code(0xFF80FF),
};

bool IsBasicColor(TRGB c) {
    return std::find(BasicColors.begin(), BasicColors.end(), c) != BasicColors.end();
}

CellLayout LayoutCells(const Box& R, int cols, int rows) {
    CellLayout g;
    g.cols = std::max(1, cols);
    g.rows = std::max(1, rows);
    const int Rw = R.width(), Rh = R.height();
    // Integer division truncating toward zero, as C++ does.
    g.cellWidth = (Rw - 2 * g.cols) / g.cols;
    g.cellHeight = (Rh - 2 * g.rows) / g.rows;
    const int W = (g.cellWidth + 2) * g.cols;
    const int H = (g.cellHeight + 2) * g.rows;
    g.left = R.left + Rw / 2 - W / 2;
    g.top = R.top + Rh / 2 - H / 2;
    return g;
}

Box CellBox(const CellLayout& g, int row, int col) {
    const int l = g.left + 1 + col * (g.cellWidth + 2);
    const int t = g.top + 1 + row * (g.cellHeight + 2);
    return {l, t, l + g.cellWidth, t + g.cellHeight};
}

Box PlateBox(const CellLayout& g, int row, int col) {
    const Box c = CellBox(g, row, col);
    return {c.left - 1, c.top - 1, c.right + 1, c.bottom + 1};
}

Box SwatchBox(const CellLayout& g, int row, int col, bool highlighted) {
    const Box c = CellBox(g, row, col);
    const int in = highlighted ? 4 : 3;
    return {c.left + in, c.top + in, c.right - in, c.bottom - in};
}

int CellAt(const CellLayout& g, int x, int y, int count) {
    for (int r = 0; r < g.rows; ++r) {
        for (int c = 0; c < g.cols; ++c) {
            const int n = r * g.cols + c;
            if (n < count && CellBox(g, r, c).contains(x, y)) return n;
        }
    }
    return -1;
}

void CustomColorSlots::AddColor(TRGB c) {
    if (next_ >= CustomSlotCount || next_ < 0) next_ = 0;
    ++next_;
    slots_[static_cast<size_t>(next_ - 1)] = c;
}

} // namespace tp::grid
