#include "history/HistoryFile.h"

#include <algorithm>

namespace tp {

namespace {
constexpr size_t OffCurrent = 0, OffPos = 3, OffLast = 7, OffSlots = 11;

void putLe32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t getLe32(const uint8_t* p) {
    const uint32_t u =
        uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
    return static_cast<int32_t>(u);
}

bool inRing(int32_t v) {
    return v >= 0 && v < HistorySlotCount;
}

} // namespace

std::array<uint8_t, HistoryFileSize> EncodeHistory(const TRGB& current, const HistoryRing& ring) {
    std::array<uint8_t, HistoryFileSize> b{};
    b[OffCurrent] = current.r;
    b[OffCurrent + 1] = current.g;
    b[OffCurrent + 2] = current.b;
    putLe32(&b[OffPos], ring.HistoryPos);
    putLe32(&b[OffLast], ring.HistoryLast);
    for (size_t i = 0; i < HistorySlotCount; ++i) {
        b[OffSlots + 3 * i] = ring.HistorySlots[i].r;
        b[OffSlots + 3 * i + 1] = ring.HistorySlots[i].g;
        b[OffSlots + 3 * i + 2] = ring.HistorySlots[i].b;
    }
    return b;
}

HistoryDecode DecodeHistory(std::span<const uint8_t> bytes, TRGB& current, HistoryRing& ring) {
    // The file's bytes replace those of the fields' present values one for
    // one, so a field it covers only partly keeps its remaining bytes.
    std::array<uint8_t, HistoryFileSize> b = EncodeHistory(current, ring);
    const size_t n = std::min(bytes.size(), HistoryFileSize);
    std::copy_n(bytes.begin(), n, b.begin());

    current = {b[OffCurrent], b[OffCurrent + 1], b[OffCurrent + 2]};
    const int32_t pos = getLe32(&b[OffPos]);
    const int32_t last = getLe32(&b[OffLast]);
    for (size_t i = 0; i < HistorySlotCount; ++i)
        ring.HistorySlots[i] = {b[OffSlots + 3 * i], b[OffSlots + 3 * i + 1],
                                b[OffSlots + 3 * i + 2]};
    HistoryDecode d;
    d.bytesUsed = n;
    d.positionsWrapped = !inRing(pos) || !inRing(last);
    ring.HistoryPos = WrapSlot(pos);
    ring.HistoryLast = WrapSlot(last);
    return d;
}

} // namespace tp
