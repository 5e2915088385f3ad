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

} // namespace tp
