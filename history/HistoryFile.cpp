#include "history/HistoryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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

// Closes a descriptor on every path out.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};
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

HistoryIo LoadHistoryFile(const std::string& path, TRGB& current, HistoryRing& ring) {
    HistoryIo io;
    Fd f{::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644)};
    if (f.fd < 0 && errno == EACCES)
        // A read-only folder or file: reading is still possible when the
        // file exists, creating it is not.
        f.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (f.fd < 0) {
        io.ok = false;
        io.error = std::strerror(errno);
        return io;
    }
    std::array<uint8_t, HistoryFileSize> buf{};
    size_t got = 0;
    while (got < buf.size()) {
        const ssize_t r = ::read(f.fd, buf.data() + got, buf.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            io.ok = false;
            io.error = std::strerror(errno);
            return io;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    io.decode = DecodeHistory(std::span<const uint8_t>(buf.data(), got), current, ring);
    return io;
}

HistoryIo SaveHistoryFile(const std::string& path, const TRGB& current, const HistoryRing& ring) {
    HistoryIo io;
    Fd f{::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644)};
    if (f.fd < 0) {
        io.ok = false;
        io.error = std::strerror(errno);
        return io;
    }
    const auto bytes = EncodeHistory(current, ring);
    size_t put = 0;
    while (put < bytes.size()) {
        const ssize_t w =
            ::pwrite(f.fd, bytes.data() + put, bytes.size() - put, static_cast<off_t>(put));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            io.ok = false;
            io.error = std::strerror(errno);
            return io;
        }
        put += static_cast<size_t>(w);
    }
    if (::close(f.fd) != 0) {
        f.fd = -1;
        io.ok = false;
        io.error = std::strerror(errno);
        return io;
    }
    f.fd = -1;
    return io;
}

} // namespace tp
