// Where the files lie on Linux and other POSIX systems: XDG base folders.
#include "base/AppPaths.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#ifndef TINTPICK_DATA_FROM_BIN
#define TINTPICK_DATA_FROM_BIN "../share/tintpick"
#endif

namespace tp {

namespace fs = std::filesystem;

namespace {

constexpr const char* AppFolder = "tintpick";
constexpr const char* HistoryName = "HisColors.dat";
constexpr const char* StoreName = "store.kvd";
constexpr const char* PageName = "ColorTable.htm";
constexpr const char* SchemaName = "schema.sql";
constexpr const char* SettingsName = "tintpick.ini";

std::string Join(const std::string& dir, const std::string& name) {
    return (fs::path(dir) / name).lexically_normal().string();
}

// XDG base directories must be absolute; a relative value is ignored.
bool UsableXdg(const std::string& value) {
    return !value.empty() && value.front() == '/';
}

std::string Hex64(std::uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

std::uint64_t Fnv1a(const std::string& s) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : s) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

const char* InstalledDataFromExe() {
    return TINTPICK_DATA_FROM_BIN;
}

AppPaths DecideAppPaths(const RunPlace& place) {
    AppPaths p;
    const bool installed = !place.exeDirWritable || place.installedDataPresent;
    const std::string dataDir =
        place.installedDataPresent ? Join(place.exeDir, InstalledDataFromExe()) : place.exeDir;
    p.referencePage = Join(dataDir, PageName);
    const std::string home = place.home.empty() ? "/" : place.home;
    const std::string configHome =
        UsableXdg(place.xdgConfigHome) ? place.xdgConfigHome : Join(home, ".config");
    p.settings = Join(Join(configHome, AppFolder), SettingsName);
    if (installed) {
        p.mode = AppMode::Installed;
        const std::string dataHome =
            UsableXdg(place.xdgDataHome) ? place.xdgDataHome : Join(home, ".local/share");
        p.userDir = Join(dataHome, AppFolder);
        p.history = Join(p.userDir, HistoryName);
        p.store.candidates = {StoreName, Join(p.userDir, StoreName)};
        p.store.createAt = Join(p.userDir, StoreName);
        p.store.schema = Join(dataDir, SchemaName);
    } else {
        p.history = Join(place.exeDir, HistoryName);
        p.store.candidates = {StoreName};
    }

    const std::string key = std::string(AppFolder) + "-" + Hex64(Fnv1a(p.history));
    if (UsableXdg(place.xdgRuntimeDir)) {
        p.runtimeDir = fs::path(place.xdgRuntimeDir).lexically_normal().string();
        p.instanceLock = Join(p.runtimeDir, key + ".lock");
        p.instanceSocket = Join(p.runtimeDir, key + ".socket");
    } else {
        // A shared temporary folder is no meeting place: anyone may create a
        // name there first. The lock lies beside the history file, in the
        // user's own folder, and the running instance writes into it where
        // its socket is, in a folder it made fresh for itself.
        p.instanceLock = p.history + ".lock";
        p.socketFolderUnder = UsableXdg(place.tmpDir) ? place.tmpDir : "/tmp";
    }
    return p;
}

void MakeUserFolder(const AppPaths& paths) {
    if (paths.userDir.empty()) return;
    // Each missing folder on the way is made for the user alone.
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = paths.userDir; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!fs::create_directory(*it, ec)) return;
        fs::permissions(*it, fs::perms::owner_all, fs::perm_options::replace, ec);
    }
}

RunPlace ProbeRunPlace(const std::string& exeDir) {
    RunPlace r;
    r.exeDir = exeDir;
    r.exeDirWritable = ::access(exeDir.c_str(), W_OK) == 0;
    std::error_code ec;
    r.installedDataPresent =
        fs::is_regular_file(fs::path(Join(exeDir, InstalledDataFromExe())) / SchemaName, ec);
    r.home = Env("HOME");
    if (r.home.empty()) {
        passwd pw{};
        passwd* found = nullptr;
        char buf[4096];
        if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && pw.pw_dir)
            r.home = pw.pw_dir;
    }
    r.xdgDataHome = Env("XDG_DATA_HOME");
    r.xdgConfigHome = Env("XDG_CONFIG_HOME");
    r.xdgRuntimeDir = Env("XDG_RUNTIME_DIR");
    r.tmpDir = Env("TMPDIR");
    return r;
}

} // namespace tp
