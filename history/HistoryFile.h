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

// Why a file was left alone although the system would have let us use it.
enum class HistoryRefusal {
    None,
    SymbolicLink,   // a link could lead a save onto any file the user may write
    NotRegularFile, // a folder, FIFO, device or socket: never history
};

// Outcome of reading or writing the file on disk.
struct HistoryIo {
    bool ok = true;                                // false: nothing was read or written
    HistoryRefusal refused = HistoryRefusal::None; // set when the file was left alone
    std::string error;                             // the reason in words when !ok
    HistoryDecode decode;                          // loads only
};

// Reads the file and lays what it holds over the fields; creates it empty
// when it does not exist. Only a regular file is read, never through a
// symbolic link, and its type is known before it is opened, so a FIFO or a
// device in its place cannot block or be touched.
HistoryIo LoadHistoryFile(const std::string& path, TRGB& current, HistoryRing& ring);

// Replaces the file with the 59 bytes followed by whatever the old file held
// past them: written to a new file in the same folder, flushed to disk and
// renamed over the old one, so that a crash or a full disk leaves the old
// file whole. A symbolic link or anything but a regular file in its place is
// left alone, and so is a file the user may not write.
HistoryIo SaveHistoryFile(const std::string& path, const TRGB& current, const HistoryRing& ring);

} // namespace tp
