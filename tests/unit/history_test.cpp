#include "history/HistoryFile.h"
#include "history/HistoryRing.h"
#include "unit/history_scratch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>

using namespace tp;
using namespace tp::testing;
namespace fs = std::filesystem;

TEST(HistoryRing, StartsWhiteAndPushesOnlyWhatDiffersFromTheSlotWrittenLast) {
    HistoryRing ring;
    for (const TRGB& s : ring.HistorySlots)
        EXPECT_EQ(s, (TRGB{255, 255, 255}));
    // White first: slot 0, the slot written last, is white already.
    EXPECT_FALSE(ring.Push(TRGB{255, 255, 255}));
    EXPECT_EQ(ring.HistoryPos, 0);

    EXPECT_EQ(ring.Push(A), 0);
    EXPECT_FALSE(ring.Push(A)); // A, A pushes once
    EXPECT_EQ(ring.Push(B), 1);
    EXPECT_EQ(ring.Push(A), 2); // A, B, A pushes three times
    EXPECT_EQ(ring.HistoryLast, 2);
    EXPECT_EQ(ring.HistoryPos, 3);
    EXPECT_EQ(ring.HistorySlots[1], B);
}

TEST(HistoryRing, SeventeenthPushWrapsToSlotZero) {
    HistoryRing ring;
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(ring.Push(TRGB{uint8_t(i), 0, 0}), i);
    EXPECT_EQ(ring.HistoryPos, 0);
    EXPECT_EQ(ring.Push(TRGB{99, 99, 99}), 0);
    EXPECT_EQ(ring.HistorySlots[0], (TRGB{99, 99, 99}));
    EXPECT_EQ(ring.HistorySlots[1], (TRGB{1, 0, 0}));
    EXPECT_EQ(CellOfSlot(ring.HistoryLast), (GridCell{0, 0}));
}

TEST(HistoryRing, PicksAreTheWrittenSlotsNewestFirstAlsoOnceTheRingWraps) {
    HistoryRing ring;
    EXPECT_TRUE(HistoryPicks(ring).empty());
    ring.Push(A);
    ring.Push(TRGB{255, 255, 255}); // white is a pick like any other
    EXPECT_EQ(HistoryPicks(ring), (std::vector<TRGB>{{255, 255, 255}, A}));
    for (int i = 0; i < 15; ++i)
        ring.Push(TRGB{uint8_t(i), 1, 1});
    const std::vector<TRGB> picks = HistoryPicks(ring);
    ASSERT_EQ(picks.size(), 16u);
    EXPECT_EQ(picks.front(), (TRGB{14, 1, 1}));
    EXPECT_EQ(picks.back(), (TRGB{255, 255, 255})); // A went round
}

TEST(HistoryRing, OutOfRangePositionsNeverIndexTheRing) {
    HistoryRing ring;
    ring.HistoryPos = -17;         // modulo 16, non-negative: 15
    ring.HistoryLast = 1000000007; // 1000000007 mod 16 = 7
    EXPECT_EQ(ring.Push(A), 15);
    EXPECT_EQ(ring.HistoryPos, 0);
    EXPECT_EQ(WrapSlot(-1), 15);
    EXPECT_EQ(WrapSlot(INT32_MIN), 0);
    EXPECT_EQ(WrapSlot(16), 0);
}

TEST(HistorySelect, CopiesTheSlotOnlyWhenItDiffers) {
    HistoryRing ring;
    ring.Push(A);
    TRGB current{1, 2, 3};
    EXPECT_TRUE(ring.Select({0, 0}, current));
    EXPECT_EQ(current, A);
    EXPECT_FALSE(ring.Select({0, 0}, current)); // already equal: nothing to refresh
    EXPECT_TRUE(ring.Select({7, 1}, current));  // slot 15, still white
    EXPECT_EQ(current, (TRGB{255, 255, 255}));
    EXPECT_FALSE(ring.Select({8, 0}, current)); // outside the grid
    EXPECT_FALSE(ring.Select({0, 2}, current));
}

TEST(HistorySelect, PushMovesTheSelectionOnToTheSlotItWrote) {
    // Slots 0..7 hold colours 1..8; the grid's current cell is column 7,
    // row 0 after writing slot 7. Writing slot 8 moves column and row at
    // once, straight to the pushed slot.
    HistoryRing ring;
    for (int i = 0; i < 8; ++i)
        ring.Push(TRGB{uint8_t(i + 1), 0, 0});
    const auto written = ring.Push(TRGB{80, 80, 80});
    ASSERT_EQ(written, 8);
    EXPECT_EQ(SelectionAfterPush({7, 0}, *written), (GridCell{0, 1}));

    // Only the column or only the row changing; the current cell itself
    // moves nothing, and a slot number from outside the ring wraps.
    EXPECT_EQ(SelectionAfterPush({2, 0}, 3), (GridCell{3, 0}));
    EXPECT_EQ(SelectionAfterPush({3, 0}, 11), (GridCell{3, 1}));
    EXPECT_EQ(SelectionAfterPush({3, 1}, 11), std::nullopt);
    EXPECT_EQ(SelectionAfterPush({0, 0}, 16), std::nullopt);
}

TEST(HistoryCodec, RoundTripsWithExplicitLittleEndianLayout) {
    HistoryRing ring;
    ring.HistoryPos = 0x0A;
    ring.HistoryLast = 9;
    ring.HistorySlots[0] = {1, 2, 3};
    ring.HistorySlots[15] = {4, 5, 6};
    const auto b = EncodeHistory({7, 8, 9}, ring);
    EXPECT_EQ(b.size(), 59u);
    EXPECT_EQ((std::vector<uint8_t>(b.begin(), b.begin() + 14)),
              (std::vector<uint8_t>{7, 8, 9, 0x0A, 0, 0, 0, 9, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(b[56], 4);
    EXPECT_EQ(b[58], 6);

    TRGB cur;
    HistoryRing back;
    const auto d = DecodeHistory(b, cur, back);
    EXPECT_EQ(d.bytesUsed, 59u);
    EXPECT_FALSE(d.positionsWrapped);
    EXPECT_EQ(cur, (TRGB{7, 8, 9}));
    EXPECT_EQ(back.HistoryPos, 10);
    EXPECT_EQ(back.HistoryLast, 9);
    EXPECT_EQ(back.HistorySlots, ring.HistorySlots);
}

TEST(HistoryFile, FixturesOfEveryLengthFillOnlyTheFieldsTheyCover) {
    struct Case {
        const char* name;
        TRGB current;
        int32_t pos, last;
        TRGB slot5;
    } cases[] = {
        {"history_0.dat", {255, 255, 255}, 0, 0, {255, 255, 255}},
        {"history_3.dat", {0x12, 0x34, 0x56}, 0, 0, {255, 255, 255}},
        // Bytes 3 and 4 are HistoryPos's two low bytes; its high bytes stay 0.
        {"history_5.dat", {0x12, 0x34, 0x56}, 11, 0, {255, 255, 255}},
        {"history_59.dat", {10, 20, 30}, 3, 2, {80, 250, 5}},
        {"history_70.dat", {10, 20, 30}, 3, 2, {80, 250, 5}},
    };
    for (const Case& c : cases) {
        Scratch s(c.name);
        TRGB current{255, 255, 255};
        HistoryRing ring;
        const HistoryIo io = LoadHistoryFile(s.file.string(), current, ring);
        EXPECT_TRUE(io.ok) << c.name << io.error;
        EXPECT_FALSE(io.decode.positionsWrapped) << c.name;
        EXPECT_EQ(current, c.current) << c.name;
        EXPECT_EQ(ring.HistoryPos, c.pos) << c.name;
        EXPECT_EQ(ring.HistoryLast, c.last) << c.name;
        EXPECT_EQ(ring.HistorySlots[5], c.slot5) << c.name;

        const auto before = readAll(s.file);
        ASSERT_TRUE(SaveHistoryFile(s.file.string(), current, ring).ok) << c.name;
        const auto after = readAll(s.file);
        ASSERT_EQ(after.size(), std::max<size_t>(before.size(), 59)) << c.name;
        const auto expected = EncodeHistory(current, ring);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), after.begin())) << c.name;
        // Bytes past offset 58 are left as they were.
        const auto kept = std::min<std::ptrdiff_t>(std::ssize(before), 59);
        EXPECT_TRUE(std::equal(before.begin() + kept, before.end(), after.begin() + kept))
            << c.name;
    }
}

TEST(HistoryFile, MissingFileIsCreatedEmptyAndWrittenWhole) {
    Scratch s;
    TRGB current{255, 255, 255};
    HistoryRing ring;
    ASSERT_TRUE(LoadHistoryFile(s.file.string(), current, ring).ok);
    ASSERT_TRUE(fs::exists(s.file));
    EXPECT_EQ(fs::file_size(s.file), 0u);
    EXPECT_EQ(current, (TRGB{255, 255, 255}));
    ring.Push(A);
    ASSERT_TRUE(SaveHistoryFile(s.file.string(), A, ring).ok);
    EXPECT_EQ(readAll(s.file).size(), 59u);
}

TEST(HistoryFile, OutOfRangePositionsAreWrappedAndFlagged) {
    Scratch s("history_badpos.dat");
    TRGB current;
    HistoryRing ring;
    const HistoryIo io = LoadHistoryFile(s.file.string(), current, ring);
    ASSERT_TRUE(io.ok);
    EXPECT_TRUE(io.decode.positionsWrapped);
    EXPECT_EQ(ring.HistoryPos, 15); // -1
    EXPECT_EQ(ring.HistoryLast, 5); // 37
    // The slots are kept: nothing the user picked is lost.
    EXPECT_EQ(ring.HistorySlots[5], (TRGB{80, 250, 5}));
}

TEST(HistoryFile, SaveWhereNoFileCanBeMadeFailsWithoutThrowing) {
    // Fails for every user, root included: the parent "folder" is a file.
    Scratch s("history_59.dat");
    TRGB current{1, 2, 3};
    HistoryRing ring;
    const HistoryIo io = SaveHistoryFile((s.file / "HisColors.dat").string(), current, ring);
    EXPECT_FALSE(io.ok);
    EXPECT_FALSE(io.error.empty());
    EXPECT_EQ(readAll(s.file), readAll(fixture("history_59.dat")));
}

TEST(HistoryFile, UnreadablePathReportsTheSystemReason) {
    Scratch s;
    // A folder where the file should be: opening it for reading fails.
    fs::create_directory(s.file);
    TRGB current{1, 2, 3};
    HistoryRing ring;
    const HistoryIo io = LoadHistoryFile(s.file.string(), current, ring);
    EXPECT_FALSE(io.ok);
    EXPECT_FALSE(io.error.empty());
    EXPECT_EQ(current, (TRGB{1, 2, 3}));
    fs::remove(s.file);
}
