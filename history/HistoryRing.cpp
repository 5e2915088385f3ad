#include "history/HistoryRing.h"

namespace tp {

std::optional<int> HistoryRing::Push(TRGB c) {
    // The positions may come from a file; never index the ring with a value
    // outside it.
    HistoryPos = WrapSlot(HistoryPos);
    HistoryLast = WrapSlot(HistoryLast);
    if (HistorySlots[static_cast<size_t>(HistoryLast)] == c) return std::nullopt;
    HistorySlots[static_cast<size_t>(HistoryPos)] = c;
    HistoryLast = HistoryPos;
    HistoryPos = WrapSlot(HistoryPos + 1);
    return HistoryLast;
}

bool HistoryRing::Select(GridCell cell, TRGB& current) const {
    if (cell.col < 0 || cell.col >= HistoryColCount || cell.row < 0 || cell.row >= HistoryRowCount)
        return false;
    const TRGB& slot = HistorySlots[static_cast<size_t>(SlotOfCell(cell))];
    if (current == slot) return false;
    current = slot;
    return true;
}

std::optional<GridCell> SelectionAfterPush(GridCell current, int writtenSlot) {
    const GridCell target = CellOfSlot(WrapSlot(writtenSlot));
    if (target == current) return std::nullopt;
    return target;
}

std::vector<TRGB> HistoryPicks(const HistoryRing& ring) {
    const int pos = WrapSlot(ring.HistoryPos);
    const TRGB white{255, 255, 255};
    bool wrapped = false;
    for (int i = pos; i < HistorySlotCount; ++i)
        wrapped = wrapped || ring.HistorySlots[static_cast<size_t>(i)] != white;
    const int count = wrapped ? HistorySlotCount : pos;
    const int newest = wrapped ? WrapSlot(ring.HistoryLast) : pos - 1;
    std::vector<TRGB> picks;
    for (int k = 0; k < count; ++k)
        picks.push_back(ring.HistorySlots[static_cast<size_t>(WrapSlot(newest - k))]);
    return picks;
}

} // namespace tp
