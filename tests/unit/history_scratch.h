#pragma once
// Scratch folders with a history file (or none) for the file's tests, on
// every system.
#include "history/HistoryFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tp::testing {
namespace fs = std::filesystem;

inline constexpr TRGB A = TRGB{10, 20, 30}, B = TRGB{200, 100, 50};

inline std::vector<uint8_t> readAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

inline fs::path fixture(const char* name) {
    return fs::path(TINTPICK_FIXTURES) / name;
}

// A scratch copy of a fixture (or no file at all) in a fresh folder.
struct Scratch {
    fs::path dir;
    fs::path file;
    explicit Scratch(const char* fixtureName = nullptr) {
        dir = fs::temp_directory_path() /
              ("tintpick-history-" + std::to_string(std::random_device{}()) + "-" +
               std::to_string(counter++));
        fs::create_directories(dir);
        file = dir / HistoryFileName;
        if (fixtureName) fs::copy_file(fixture(fixtureName), file);
    }
    ~Scratch() {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, ec);
        fs::remove_all(dir, ec);
    }
    static inline int counter = 0;
};

// Whether `p` still is exactly what `bytes` say, without following links.
inline bool holdsBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    return fs::is_regular_file(fs::symlink_status(p)) && readAll(p) == bytes;
}
} // namespace tp::testing
