#pragma once
// Where the program keeps and finds its files. Every path the program uses
// is decided here, once at start-up, so that the build folder, an unpacked
// copy and a system-wide install each get a place they may write.
//
// Portable mode (started from a folder it can write that is not an install
// prefix): the history lies beside the executable, the store is store.kvd in
// the working directory and is never created, the reference page lies beside
// the executable (on Windows the settings too).
// Installed mode (the executable's folder cannot be written, or the installed
// data folder lies beside it): per-user files under $XDG_DATA_HOME/tintpick,
// shared read-only data in the install prefix's data folder. On Windows: an
// executable under Program Files or %LOCALAPPDATA%\Programs, or beside an
// install marker, keeps the user's files and settings in %APPDATA%\Tintpick
// and reads its shared data from beside itself.
//
// One implementation per system (AppPathsPosix.cpp, AppPathsWin.cpp); on
// Windows every path is UTF-8 with backslashes.
#include <string>
#include <vector>

namespace tp {

// What the program finds out about the place it runs in. ProbeRunPlace reads
// it from the system; tests fill it by hand.
struct RunPlace {
    std::string exeDir; // absolute folder of the executable
    bool exeDirWritable = false;
    // The installed data folder (the schema among it) lies where an install
    // puts it relative to the executable. An install prefix the user owns,
    // or one root runs from, can be written, and yet is not a place for files
    // that change.
    bool installedDataPresent = false;
    std::string home;          // $HOME, else the password entry's home
    std::string xdgDataHome;   // $XDG_DATA_HOME as set (may be empty or relative)
    std::string xdgConfigHome; // $XDG_CONFIG_HOME as set
    std::string xdgRuntimeDir; // $XDG_RUNTIME_DIR as set
    std::string tmpDir;        // $TMPDIR, else /tmp
    // Windows: %APPDATA%, %LOCALAPPDATA%, and the Program Files folders
    // (64-bit and 32-bit) as the system names them.
    std::string appData;
    std::string localAppData;
    std::vector<std::string> programFiles;
};

// On Windows, a file of this name beside the executable marks an install
// wherever it lies (the installer puts it there).
inline constexpr const char* InstallMarkerName = "tintpick-installed.txt";

enum class AppMode { Portable, Installed };

// How the colour store is found: the first candidate that exists is used; a
// relative candidate is taken against the working directory at the moment
// the store is opened. When none exists and createAt is set, an empty store
// is made there from the schema.
struct StoreLookup {
    std::vector<std::string> candidates{"store.kvd"};
    std::string createAt;
    std::string schema;
};

struct AppPaths {
    AppMode mode = AppMode::Portable;
    std::string userDir; // per-user folder to create at start; empty when portable
    std::string history;
    std::string referencePage;
    // The user's settings, in the configuration folder in either mode: a
    // choice made in one copy holds in the next.
    std::string settings;
    StoreLookup store;
    // Rendezvous of the running instance: a lock held for its whole life and
    // the local socket it listens on (on Windows a named pipe, its name). One
    // instance per history file, so that copies with files of their own do
    // not stand in for each other.
    std::string runtimeDir; // $XDG_RUNTIME_DIR, holding lock and socket; or empty
    std::string instanceLock;
    std::string instanceSocket; // empty: the lock file says where it is
    // Without a runtime folder the instance makes its socket's folder fresh
    // under this one and writes the socket's path into the lock file.
    std::string socketFolderUnder;
};

// Installed data folder relative to the executable's folder, as the build
// configured the install.
const char* InstalledDataFromExe();

AppPaths DecideAppPaths(const RunPlace& place);
// An install keeps the user's files in a folder of their own, made at start
// before anything lies in it (the lock of the one-instance check may).
void MakeUserFolder(const AppPaths& paths);
RunPlace ProbeRunPlace(const std::string& exeDir);

} // namespace tp
