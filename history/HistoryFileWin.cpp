// The history file on Windows. Paths are UTF-8. A reparse point in the
// file's place (a symbolic link, a junction) is never followed: every open
// names FILE_FLAG_OPEN_REPARSE_POINT and the handle's own attributes are
// checked before a byte is read or written.
#include "history/HistoryFile.h"

#include <algorithm>
#include <iterator>
#include <random>

#include <windows.h>

namespace tp {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

HistoryIo failed(DWORD code) {
    HistoryIo io;
    io.ok = false;
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    io.error = message.empty() ? "Windows error " + std::to_string(code) : Utf8(message);
    return io;
}

HistoryIo refused(HistoryRefusal why) {
    HistoryIo io;
    io.ok = false;
    io.refused = why;
    io.error = why == HistoryRefusal::SymbolicLink ? "is a symbolic link or junction"
                                                   : "is not a regular file";
    return io;
}

HistoryRefusal refusalOf(DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return HistoryRefusal::SymbolicLink;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return HistoryRefusal::NotRegularFile;
    return HistoryRefusal::None;
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() { close(); }
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
    void close() {
        if (ok()) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

// Opens the file itself, never what a reparse point in its place leads to.
// Others may keep reading the old file, and it may be renamed over while open.
HANDLE openOwn(const std::wstring& path, DWORD access, DWORD disposition) {
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                       nullptr);
}

// The handle's own file: a regular file on a disk, or the reason not.
HistoryRefusal checkOpened(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info))
        return HistoryRefusal::NotRegularFile;
    return refusalOf(info.dwFileAttributes);
}

bool writeAt(HANDLE h, const void* data, size_t size, uint64_t at) {
    const auto* p = static_cast<const char*>(data);
    size_t put = 0;
    while (put < size) {
        OVERLAPPED where{};
        const uint64_t pos = at + put;
        where.Offset = static_cast<DWORD>(pos);
        where.OffsetHigh = static_cast<DWORD>(pos >> 32);
        DWORD w = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - put, 1u << 20));
        if (!WriteFile(h, p + put, chunk, &w, &where)) return false;
        if (w == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        put += w;
    }
    return true;
}

bool readAt(HANDLE h, void* data, size_t size, uint64_t at, size_t& got) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD r = 0;
    got = 0;
    if (!ReadFile(h, data, static_cast<DWORD>(size), &r, &where))
        return GetLastError() == ERROR_HANDLE_EOF;
    got = r;
    return true;
}

// A new, empty file named after the history file with a random suffix, in
// its folder; a leftover of a save that was cut short shows beside the
// history file under a name that says what it was.
HANDLE createBeside(const std::wstring& path, std::wstring& made) {
    static constexpr wchar_t letters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 32; ++attempt) {
        made = path + L".";
        for (int i = 0; i < 6; ++i)
            made += letters[random() % (std::size(letters) - 1)];
        const HANDLE h = CreateFileW(made.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool noRoomOrRight(DWORD code) {
    return code == ERROR_ACCESS_DENIED || code == ERROR_DISK_FULL ||
           code == ERROR_HANDLE_DISK_FULL || code == ERROR_WRITE_PROTECT;
}

} // namespace

HistoryIo LoadHistoryFile(const std::string& path, TRGB& current, HistoryRing& ring) {
    const std::wstring wpath = Wide(path);
    const DWORD attributes = GetFileAttributesW(wpath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) return failed(code);
        // First start: the file is made empty. CREATE_NEW fails on any name
        // that exists, a dangling link planted meanwhile included.
        Handle made{openOwn(wpath, GENERIC_WRITE, CREATE_NEW)};
        if (!made.ok()) return failed(GetLastError());
        HistoryIo io;
        io.decode = DecodeHistory({}, current, ring);
        return io;
    }
    if (const HistoryRefusal r = refusalOf(attributes); r != HistoryRefusal::None)
        return refused(r);
    Handle f{openOwn(wpath, GENERIC_READ, OPEN_EXISTING)};
    if (!f.ok()) return failed(GetLastError());
    BY_HANDLE_FILE_INFORMATION info{};
    if (const HistoryRefusal r = checkOpened(f.h, info); r != HistoryRefusal::None)
        return refused(r);

    std::array<uint8_t, HistoryFileSize> buf{};
    size_t got = 0;
    while (got < buf.size()) {
        size_t r = 0;
        if (!readAt(f.h, buf.data() + got, buf.size() - got, got, r)) return failed(GetLastError());
        if (r == 0) break;
        got += r;
    }
    HistoryIo io;
    io.decode = DecodeHistory(std::span<const uint8_t>(buf.data(), got), current, ring);
    return io;
}

HistoryIo SaveHistoryFile(const std::string& path, const TRGB& current, const HistoryRing& ring) {
    const std::wstring wpath = Wide(path);
    // The old file must be a regular file the user may write; its bytes past
    // the layout are carried over to the new one.
    const DWORD attributes = GetFileAttributesW(wpath.c_str());
    const bool hadFile = attributes != INVALID_FILE_ATTRIBUTES;
    if (!hadFile && GetLastError() != ERROR_FILE_NOT_FOUND) return failed(GetLastError());
    Handle old;
    BY_HANDLE_FILE_INFORMATION info{};
    if (hadFile) {
        if (const HistoryRefusal r = refusalOf(attributes); r != HistoryRefusal::None)
            return refused(r);
        old.h = openOwn(wpath, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        if (!old.ok()) return failed(GetLastError());
        if (const HistoryRefusal r = checkOpened(old.h, info); r != HistoryRefusal::None)
            return refused(r);
    }
    const auto bytes = EncodeHistory(current, ring);

    // A folder the user may not write, or a full disk, can still leave the
    // old file writable: rather than lose the picks, write its first bytes
    // in place, through the handle opened above. A file with a second name
    // could be any file, so only one with a single name.
    const auto inPlaceOr = [&](DWORD code) {
        const bool fallback = hadFile && info.nNumberOfLinks == 1 && noRoomOrRight(code);
        if (!fallback) return failed(code);
        if (!writeAt(old.h, bytes.data(), bytes.size(), 0) || !FlushFileBuffers(old.h))
            return failed(GetLastError());
        return HistoryIo{};
    };

    std::wstring tmpName;
    Handle tmp{createBeside(wpath, tmpName)};
    if (!tmp.ok()) return inPlaceOr(GetLastError());
    const auto dropTmp = [&](DWORD code) {
        tmp.close();
        DeleteFileW(tmpName.c_str());
        return inPlaceOr(code);
    };
    if (!writeAt(tmp.h, bytes.data(), bytes.size(), 0)) return dropTmp(GetLastError());
    if (hadFile) {
        std::array<char, 64 * 1024> chunk;
        uint64_t at = HistoryFileSize;
        for (;;) {
            size_t r = 0;
            if (!readAt(old.h, chunk.data(), chunk.size(), at, r)) return dropTmp(GetLastError());
            if (r == 0) break;
            if (!writeAt(tmp.h, chunk.data(), r, at)) return dropTmp(GetLastError());
            at += r;
        }
    }
    if (!FlushFileBuffers(tmp.h)) return dropTmp(GetLastError());
    tmp.close();
    // WRITE_THROUGH: the call returns once the new name is on the disk.
    if (!MoveFileExW(tmpName.c_str(), wpath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return dropTmp(GetLastError());
    return HistoryIo{};
}

} // namespace tp
