// Any bytes as a history file, then any sequence of pushes and cell choices
// on the ring it produced, then a save over the same file: nothing may
// crash, index outside the ring or change what a save writes back, and the
// saved file holds the state in memory followed by the input's own bytes
// past the layout, and loads back to that state.
#include "history/HistoryFile.h"
#include "history/HistoryRing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tp;

namespace {
void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool inRing(int32_t v) {
    return v >= 0 && v < HistorySlotCount;
}

// In memory where the system has a RAM file system: the loader's file work
// should not be what limits the number of inputs tried.
const std::string& scratchFile() {
    static const std::string path =
        std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/tintpick-fuzz-" +
        std::to_string(::getpid()) + ".dat";
    [[maybe_unused]] static const bool removedAtExit =
        std::atexit([] { std::remove(path.c_str()); }) == 0;
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The loader, through a real file, as the program reads it.
    if (FILE* f = std::fopen(scratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    TRGB current{255, 255, 255};
    HistoryRing ring;
    const HistoryIo io = LoadHistoryFile(scratchFile(), current, ring);
    check(io.ok, "load of a plain file");
    check(inRing(ring.HistoryPos()) && inRing(ring.HistoryLast()), "positions after load");

    // The codec agrees with the loader and round-trips.
    TRGB c2{255, 255, 255};
    HistoryRing r2;
    DecodeHistory({data, size}, c2, r2);
    check(c2 == current && r2.HistorySlots() == ring.HistorySlots() &&
              r2.HistoryPos() == ring.HistoryPos() && r2.HistoryLast() == ring.HistoryLast(),
          "decode equals load");
    const auto bytes = EncodeHistory(current, ring);
    TRGB c3;
    HistoryRing r3;
    const HistoryDecode d = DecodeHistory(bytes, c3, r3);
    check(!d.positionsWrapped && c3 == current && r3.HistorySlots() == ring.HistorySlots(),
          "encode/decode round trip");

    // The bytes past the header drive the ring like a user would.
    GridCell cell{0, 0};
    for (size_t i = HistoryFileSize; i + 3 < size; i += 4) {
        const uint8_t op = data[i];
        if (op & 1) {
            const TRGB c{data[i + 1], data[i + 2], data[i + 3]};
            const int before = ring.HistoryPos();
            const auto written = ring.Push(c);
            if (written) {
                check(*written == before, "push writes at HistoryPos");
                check(ring.Slot(*written) == c, "pushed colour stored");
                if (const auto to = SelectionAfterPush(cell, *written)) {
                    check(to->col >= 0 && to->col < 8 && to->row >= 0 && to->row < 2,
                          "selection inside the grid");
                    cell = *to;
                    current = c;
                }
                check(SlotOfCell(cell) == *written, "selection ends on the pushed slot");
            }
        } else {
            // Cells outside the grid too: the select rule must refuse them.
            const GridCell pick{static_cast<int8_t>(data[i + 1]) % 10,
                                static_cast<int8_t>(data[i + 2]) % 3};
            ring.Select(pick, current);
        }
        check(inRing(ring.HistoryPos()) && inRing(ring.HistoryLast()), "positions after use");
    }

    // The writer, after the load and the use above.
    check(SaveHistoryFile(scratchFile(), current, ring).ok, "save over a plain file");
    std::vector<uint8_t> saved;
    if (FILE* f = std::fopen(scratchFile().c_str(), "rb")) {
        uint8_t chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            saved.insert(saved.end(), chunk, chunk + n);
        std::fclose(f);
    }
    const auto head = EncodeHistory(current, ring);
    check(saved.size() == std::max(size, HistoryFileSize), "saved size");
    check(std::equal(head.begin(), head.end(), saved.begin()), "saved layout");
    check(size <= HistoryFileSize ||
              std::equal(data + HistoryFileSize, data + size, saved.begin() + HistoryFileSize),
          "bytes past the layout kept");
    TRGB c4{0, 0, 0};
    HistoryRing r4(HistoryRing().HistorySlots(), 9, 9);
    check(LoadHistoryFile(scratchFile(), c4, r4).ok, "load of the saved file");
    check(c4 == current && r4.HistorySlots() == ring.HistorySlots() &&
              r4.HistoryPos() == ring.HistoryPos() && r4.HistoryLast() == ring.HistoryLast(),
          "saved file loads back to the state saved");
    return 0;
}
