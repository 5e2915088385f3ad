#include "history/HistoryRing.h"

namespace tp {

std::optional<int> HistoryRing::Push(TRGB c) {
    if (slots_[static_cast<size_t>(last_)] == c) return std::nullopt;
    slots_[static_cast<size_t>(pos_)] = c;
    last_ = pos_;
    pos_ = WrapSlot(pos_ + 1);
    return last_;
}

bool HistoryRing::Select(GridCell cell, TRGB& current) const {
    if (cell.col < 0 || cell.col >= HistoryColCount || cell.row < 0 || cell.row >= HistoryRowCount)
        return false;
    const TRGB& slot = slots_[static_cast<size_t>(SlotOfCell(cell))];
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
    const int pos = ring.HistoryPos();
    const TRGB white{255, 255, 255};
    bool wrapped = false;
    for (int i = pos; i < HistorySlotCount; ++i)
        wrapped = wrapped || ring.Slot(i) != white;
    const int count = wrapped ? HistorySlotCount : pos;
    const int newest = wrapped ? ring.HistoryLast() : pos - 1;
    std::vector<TRGB> picks;
    for (int k = 0; k < count; ++k)
        picks.push_back(ring.Slot(WrapSlot(newest - k)));
    return picks;
}

} // namespace tp
