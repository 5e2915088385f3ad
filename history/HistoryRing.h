#pragma once
// The sixteen history slots: a ring written at HistoryPos, remembering the
// slot it wrote last, and the grid that shows it as eight columns by two
// rows (slot = row * 8 + column).
#include "colour/ColorTypes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tp {

inline constexpr int HistorySlotCount = 16;
inline constexpr int HistoryColCount = 8;
inline constexpr int HistoryRowCount = 2;

// Any integer as a slot index 0..15, keeping its value modulo 16 (also for
// negative numbers, which C++'s % would leave negative).
constexpr int32_t WrapSlot(int64_t v) {
    return static_cast<int32_t>(((v % HistorySlotCount) + HistorySlotCount) % HistorySlotCount);
}

struct GridCell {
    int col = 0, row = 0;
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

constexpr int SlotOfCell(GridCell c) {
    return c.row * HistoryColCount + c.col;
}
constexpr GridCell CellOfSlot(int slot) {
    return {slot % HistoryColCount, slot / HistoryColCount};
}

class HistoryRing {
public:
    // White until something is picked or loaded.
    HistoryRing() { slots_.fill({255, 255, 255}); }
    // A ring as stored; any positions are taken modulo 16 (WrapSlot).
    HistoryRing(const std::array<TRGB, HistorySlotCount>& slots, int64_t pos, int64_t last)
        : slots_(slots), pos_(WrapSlot(pos)), last_(WrapSlot(last)) {}

    const std::array<TRGB, HistorySlotCount>& HistorySlots() const { return slots_; }
    // Slot i, 0..15.
    TRGB Slot(int i) const { return slots_.at(static_cast<size_t>(i)); }
    // The slot the next push writes, and the slot the last push wrote;
    // always within 0..15.
    int32_t HistoryPos() const { return pos_; }
    int32_t HistoryLast() const { return last_; }

    // Pushes a colour unless it equals the slot written last (only that one
    // is compared: A, B, A pushes three times). Returns the slot written.
    std::optional<int> Push(TRGB c);

    // The select rule for a grid cell: when the current colour differs from
    // the cell's slot, the slot becomes the current colour and true is
    // returned (the caller refreshes its views). A cell outside the grid
    // selects nothing.
    bool Select(GridCell cell, TRGB& current) const;

private:
    std::array<TRGB, HistorySlotCount> slots_;
    int32_t pos_ = 0;
    int32_t last_ = 0;
};

// The selection rule of a push: the grid's current cell moves to the cell of
// the slot just written, and the pushed colour then becomes the current
// colour, as choosing that cell would make it. A push that writes the
// current cell's own slot moves nothing and leaves the current colour as it
// was. Returns the cell to move to, or nothing.
std::optional<GridCell> SelectionAfterPush(GridCell current, int writtenSlot);

// The slots that hold a pick, newest first. The ring fills from slot 0 and
// is white beyond HistoryPos until it first wraps; once wrapped, no two
// slots in a row can both be white, since a push of the colour written last
// is refused. So a white slot beyond HistoryPos means the ring is still
// filling (a single white pick in slot 15 is taken for an empty slot).
std::vector<TRGB> HistoryPicks(const HistoryRing& ring);

} // namespace tp
