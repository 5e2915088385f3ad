#pragma once
// HisColors.dat: 59 bytes beside the program, little-endian, no signature.
//
//   offset  size  field
//        0     3  current colour: red, green, blue
//        3     4  HistoryPos, signed 32-bit
//        7     4  HistoryLast, signed 32-bit
//       11    48  HistorySlots: slot 0 red, green, blue, then slot 1, ...
//
// A shorter file fills only the fields (and the bytes of a field) it covers;
// bytes past offset 58 belong to no field and are kept when saving.
#include "history/HistoryRing.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tp {

inline constexpr const char* HistoryFileName = "HisColors.dat";
inline constexpr size_t HistoryFileSize = 59;

// What a load found beyond the bytes themselves.
struct HistoryDecode {
    size_t bytesUsed = 0;          // how many of the 59 bytes the file covered
    bool positionsWrapped = false; // HistoryPos or HistoryLast lay outside 0..15
};

// Lays the file's bytes over the current values of the fields, then brings
// both positions into 0..15 (modulo 16) so that they can index the ring.
HistoryDecode DecodeHistory(std::span<const uint8_t> bytes, TRGB& current, HistoryRing& ring);
std::array<uint8_t, HistoryFileSize> EncodeHistory(const TRGB& current, const HistoryRing& ring);

// Outcome of reading or writing the file on disk.
struct HistoryIo {
    bool ok = true;       // false: the file could not be opened, read or written
    std::string error;    // the system's reason when !ok
    HistoryDecode decode; // loads only
};

// Opens the file for reading, creating it empty when it does not exist, and
// lays what it holds over the fields.
HistoryIo LoadHistoryFile(const std::string& path, TRGB& current, HistoryRing& ring);
// Writes the 59 bytes from offset 0 without truncating, creating the file
// when it does not exist; bytes after the 59th stay as they were.
HistoryIo SaveHistoryFile(const std::string& path, const TRGB& current, const HistoryRing& ring);

} // namespace tp
