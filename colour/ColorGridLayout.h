#pragma once
// The colour cells of the basic and custom colour grids: their fixed
// colours, where the cells lie inside the group box, which cell a press
// chooses, and the custom grid's ring of twelve slots.
#include "colour/ColorTypes.h"

#include <array>

namespace tp::grid {

// 6 columns by 8 rows, filled row by row. Entry 37 is stored as 0x4F4280.
extern const std::array<TRGB, 48> BasicColors;
bool IsBasicColor(TRGB c);

constexpr int CustomSlotCount = 12;

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom outside
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Box&, const Box&) = default;
};

struct CellLayout {
    int cols = 1, rows = 1;
    int cellWidth = 0, cellHeight = 0; // cw, ch
    int left = 0, top = 0;             // origin of the centred block
};

// Lays the cells out inside R, the area the group box leaves inside its
// frame and caption. Neighbouring cells are two pixels apart.
CellLayout LayoutCells(const Box& R, int cols, int rows);

// The cell's own rectangle (l, t)-(l + cw, t + ch); presses inside it choose it.
Box CellBox(const CellLayout& g, int row, int col);
// The plate behind a highlighted cell, one pixel larger all round.
Box PlateBox(const CellLayout& g, int row, int col);
// The filled swatch: 3 pixels in for a plain cell, 4 for a highlighted one
// so that a rim of the plate stays visible.
Box SwatchBox(const CellLayout& g, int row, int col, bool highlighted);

// The number (row * cols + col) of the cell holding the point, or -1 for the
// gaps, the frame and anything outside. Cells numbered count or higher do
// not exist (a grid larger than its colour table) and choose nothing.
int CellAt(const CellLayout& g, int x, int y, int count);

// The custom colours between two runs of the dialog: twelve slots and the
// slot written last (0 before the first).
class CustomColorSlots {
public:
    CustomColorSlots() { slots_.fill({255, 255, 255}); }
    // Writes the next slot, wrapping from slot 12 back to slot 1.
    void AddColor(TRGB c);
    // Slot n, 1-based.
    TRGB slot(int n) const { return slots_.at(static_cast<size_t>(n - 1)); }
    void SetSlot(int n, TRGB c) { slots_.at(static_cast<size_t>(n - 1)) = c; }
    // The slot written last, 1-based; 0 before the first.
    int NextSlot() const { return next_; }
    // Anything outside 0..12 would make the next AddColor write past the
    // slots; it restarts from slot 1 instead.
    void SetNextSlot(int n) { next_ = (n >= 0 && n <= CustomSlotCount) ? n : 0; }
    friend bool operator==(const CustomColorSlots&, const CustomColorSlots&) = default;

private:
    std::array<TRGB, CustomSlotCount> slots_{};
    int next_ = 0;
};

} // namespace tp::grid
