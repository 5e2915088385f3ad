// The history file on POSIX systems.
#include "history/HistoryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

namespace {
// Closes a descriptor on every path out.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

HistoryIo failed(int err) {
    HistoryIo io;
    io.ok = false;
    io.error = std::strerror(err);
    return io;
}

HistoryIo refused(HistoryRefusal why) {
    HistoryIo io;
    io.ok = false;
    io.refused = why;
    io.error = why == HistoryRefusal::SymbolicLink ? "is a symbolic link" : "is not a regular file";
    return io;
}

HistoryRefusal refusalOf(mode_t mode) {
    if (S_ISLNK(mode)) return HistoryRefusal::SymbolicLink;
    if (!S_ISREG(mode)) return HistoryRefusal::NotRegularFile;
    return HistoryRefusal::None;
}

bool writeAt(int fd, const void* data, size_t size, off_t at) {
    const auto* p = static_cast<const char*>(data);
    size_t put = 0;
    while (put < size) {
        const ssize_t w = ::pwrite(fd, p + put, size - put, at + static_cast<off_t>(put));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return false;
        if (w == 0) {
            errno = EIO;
            return false;
        }
        put += static_cast<size_t>(w);
    }
    return true;
}

// A new, empty file named after `name` with a random suffix, in the folder
// `dir`; its name goes to `made`. A leftover of a save that was cut short
// shows beside the history file under a name that says what it was.
int createBeside(int dir, const std::string& name, std::string& made) {
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 32; ++attempt) {
        made = name + ".";
        for (int i = 0; i < 6; ++i)
            made += letters[random() % (sizeof letters - 1)];
        const int fd =
            ::openat(dir, made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}
} // namespace

HistoryIo LoadHistoryFile(const std::string& path, TRGB& current, HistoryRing& ring) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return failed(errno);
        // First start: the file is made empty. O_EXCL never follows a link, so
        // a dangling one planted meanwhile fails here instead of making its target.
        Fd made{::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644)};
        if (made.fd < 0) return failed(errno);
        HistoryIo io;
        io.decode = DecodeHistory({}, current, ring);
        return io;
    }
    if (const HistoryRefusal r = refusalOf(st.st_mode); r != HistoryRefusal::None)
        return refused(r);
    // O_NONBLOCK: should a FIFO be swapped in after the check, opening it
    // must not wait for a writer; fstat then turns it away.
    Fd f{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0) return errno == ELOOP ? refused(HistoryRefusal::SymbolicLink) : failed(errno);
    if (::fstat(f.fd, &st) != 0) return failed(errno);
    if (const HistoryRefusal r = refusalOf(st.st_mode); r != HistoryRefusal::None)
        return refused(r);

    std::array<uint8_t, HistoryFileSize> buf{};
    size_t got = 0;
    while (got < buf.size()) {
        const ssize_t r = ::read(f.fd, buf.data() + got, buf.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return failed(errno);
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    HistoryIo io;
    io.decode = DecodeHistory(std::span<const uint8_t>(buf.data(), got), current, ring);
    return io;
}

HistoryIo SaveHistoryFile(const std::string& path, const TRGB& current, const HistoryRing& ring) {
    // Everything happens relative to the folder opened once, so that the new
    // file is made, and renamed, in the same folder as the old one.
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, std::max<size_t>(slash, 1));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0) return failed(errno);

    // The old file must be a regular file the user may write; its bytes past
    // the layout are carried over to the new one.
    struct stat st {};
    Fd old{-1};
    const bool hadFile = ::fstatat(dir.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (!hadFile && errno != ENOENT) return failed(errno);
    if (hadFile) {
        if (const HistoryRefusal r = refusalOf(st.st_mode); r != HistoryRefusal::None)
            return refused(r);
        old.fd =
            ::openat(dir.fd, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (old.fd < 0)
            return errno == ELOOP ? refused(HistoryRefusal::SymbolicLink) : failed(errno);
        if (::fstat(old.fd, &st) != 0) return failed(errno);
        if (const HistoryRefusal r = refusalOf(st.st_mode); r != HistoryRefusal::None)
            return refused(r);
    }
    const auto bytes = EncodeHistory(current, ring);

    // A folder the user may not write, or a full disk, can still leave the
    // old file writable: rather than lose the picks, write its first bytes in
    // place, through the descriptor opened above without following links. A
    // file with a second name could be any file, so only one with a single name.
    const auto inPlaceOr = [&](int err) {
        const bool fallback = hadFile && st.st_nlink == 1 &&
                              (err == EACCES || err == EPERM || err == ENOSPC || err == EDQUOT);
        if (!fallback) return failed(err);
        if (!writeAt(old.fd, bytes.data(), bytes.size(), 0) || ::fsync(old.fd) != 0)
            return failed(errno);
        return HistoryIo{};
    };

    std::string tmpName;
    Fd tmp{createBeside(dir.fd, name, tmpName)};
    if (tmp.fd < 0) return inPlaceOr(errno);
    const auto dropTmp = [&](int err) {
        ::unlinkat(dir.fd, tmpName.c_str(), 0);
        return inPlaceOr(err);
    };
    if (hadFile) {
        // The file keeps its owner (when we may give it) and its permissions.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            if (::fchown(tmp.fd, st.st_uid, st.st_gid) != 0) {
                // Not ours to give away: the new file stays the saver's.
            }
        }
        if (::fchmod(tmp.fd, st.st_mode & 07777) != 0) return dropTmp(errno);
    }
    if (!writeAt(tmp.fd, bytes.data(), bytes.size(), 0)) return dropTmp(errno);
    if (hadFile) {
        std::array<char, 64 * 1024> chunk;
        off_t at = static_cast<off_t>(HistoryFileSize);
        for (;;) {
            const ssize_t r = ::pread(old.fd, chunk.data(), chunk.size(), at);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return dropTmp(errno);
            if (r == 0) break;
            if (!writeAt(tmp.fd, chunk.data(), static_cast<size_t>(r), at)) return dropTmp(errno);
            at += r;
        }
    }
    if (::fsync(tmp.fd) != 0) return dropTmp(errno);
    const int closed = ::close(tmp.fd);
    tmp.fd = -1;
    if (closed != 0) return dropTmp(errno);
    if (::renameat(dir.fd, tmpName.c_str(), dir.fd, name.c_str()) != 0) return dropTmp(errno);
    // Makes the rename itself durable; the new file is in place either way.
    ::fsync(dir.fd);
    return HistoryIo{};
}

} // namespace tp
