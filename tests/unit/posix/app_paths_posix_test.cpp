// Where the program keeps its files on Linux: the build folder or an
// unpacked copy keeps files beside itself, an install keeps them in the
// user's XDG folders.
#include "base/AppPaths.h"

#include <filesystem>

#include <gtest/gtest.h>

using namespace tp;
namespace fs = std::filesystem;

namespace {

RunPlace Place(const std::string& exeDir, bool writable, bool installedData) {
    RunPlace r;
    r.exeDir = exeDir;
    r.exeDirWritable = writable;
    r.installedDataPresent = installedData;
    r.home = "/home/ann";
    return r;
}

std::string Dir(const std::string& path) {
    return fs::path(path).parent_path().string();
}

} // namespace

TEST(AppPaths, AWritableFolderWithoutInstalledDataKeepsEverythingWhereItWas) {
    const AppPaths p = DecideAppPaths(Place("/home/ann/tintpick/build", true, false));
    EXPECT_EQ(p.mode, AppMode::Portable);
    EXPECT_EQ(p.history, "/home/ann/tintpick/build/HisColors.dat");
    EXPECT_EQ(p.referencePage, "/home/ann/tintpick/build/ColorTable.htm");
    // Only the working directory's store, and never one made by the program.
    EXPECT_EQ(p.store.candidates, std::vector<std::string>{"store.kvd"});
    EXPECT_TRUE(p.store.createAt.empty());
    EXPECT_TRUE(p.userDir.empty());
}

TEST(AppPaths, AnInstallKeepsUserFilesUnderXdgDataHomeWhoeverRunsIt) {
    RunPlace system = Place("/usr/bin", false, true);
    system.xdgDataHome = "/home/ann/data";
    // Root can write /usr/bin, and a user can write a prefix of their own:
    // neither makes the prefix a place for changing files.
    RunPlace asRoot = system;
    asRoot.exeDirWritable = true;
    RunPlace ownPrefix = Place("/home/ann/.local/bin", true, true);
    ownPrefix.xdgDataHome = "/home/ann/data";

    for (const RunPlace& place : {system, asRoot, ownPrefix}) {
        SCOPED_TRACE(place.exeDir);
        const AppPaths p = DecideAppPaths(place);
        EXPECT_EQ(p.mode, AppMode::Installed);
        EXPECT_EQ(p.userDir, "/home/ann/data/tintpick");
        EXPECT_EQ(p.history, "/home/ann/data/tintpick/HisColors.dat");
        // The working directory's store first, then the user's own, made
        // from the installed schema when neither exists.
        EXPECT_EQ(p.store.candidates,
                  (std::vector<std::string>{"store.kvd", "/home/ann/data/tintpick/store.kvd"}));
        EXPECT_EQ(p.store.createAt, "/home/ann/data/tintpick/store.kvd");
        // Page and schema come from the installed data folder, not from
        // beside the executable.
        EXPECT_EQ(fs::path(p.referencePage).filename(), "ColorTable.htm");
        EXPECT_EQ(Dir(p.referencePage), Dir(p.store.schema));
        EXPECT_NE(Dir(p.referencePage), place.exeDir);
        EXPECT_EQ(Dir(p.referencePage).rfind(Dir(place.exeDir), 0), 0u)
            << "the data folder lies in the executable's prefix";
    }

    // A read-only copy that is no install still finds its page beside itself.
    const AppPaths copy = DecideAppPaths(Place("/mnt/cd/tintpick", false, false));
    EXPECT_EQ(copy.mode, AppMode::Installed);
    EXPECT_EQ(copy.referencePage, "/mnt/cd/tintpick/ColorTable.htm");
    EXPECT_EQ(copy.history, "/home/ann/.local/share/tintpick/HisColors.dat");

    // An unset or relative XDG_DATA_HOME means ~/.local/share, and the same
    // for XDG_CONFIG_HOME and ~/.config, where the settings are in any mode.
    for (const char* value : {"", "data", "./x"}) {
        RunPlace place = system;
        place.xdgDataHome = place.xdgConfigHome = value;
        EXPECT_EQ(DecideAppPaths(place).history, "/home/ann/.local/share/tintpick/HisColors.dat")
            << "XDG_DATA_HOME=" << value;
        EXPECT_EQ(DecideAppPaths(place).settings, "/home/ann/.config/tintpick/tintpick.ini");
    }
    RunPlace configured = Place("/home/ann/tintpick/build", true, false);
    configured.xdgConfigHome = "/home/ann/cfg";
    EXPECT_EQ(DecideAppPaths(configured).settings, "/home/ann/cfg/tintpick/tintpick.ini");
}

TEST(AppPaths, OneInstancePerHistoryFileMeetsInTheRuntimeFolder) {
    RunPlace usr = Place("/usr/bin", false, true);
    usr.xdgRuntimeDir = "/run/user/1000";
    const AppPaths a = DecideAppPaths(usr);
    EXPECT_EQ(Dir(a.instanceSocket), "/run/user/1000");
    EXPECT_EQ(Dir(a.instanceLock), "/run/user/1000");
    EXPECT_NE(a.instanceSocket, a.instanceLock);

    // Two installs share the user's history, so they are one instance; two
    // portable copies each keep their own history, so they run side by side.
    RunPlace local = Place("/usr/local/bin", false, true);
    local.xdgRuntimeDir = usr.xdgRuntimeDir;
    EXPECT_EQ(DecideAppPaths(local).instanceSocket, a.instanceSocket);
    RunPlace copy1 = Place("/home/ann/one", true, false);
    RunPlace copy2 = Place("/home/ann/two", true, false);
    copy1.xdgRuntimeDir = copy2.xdgRuntimeDir = usr.xdgRuntimeDir;
    EXPECT_NE(DecideAppPaths(copy1).instanceSocket, DecideAppPaths(copy2).instanceSocket);
    EXPECT_NE(DecideAppPaths(copy1).instanceSocket, a.instanceSocket);

    // Without a runtime folder (or with a relative one) the lock lies beside
    // the history file, and the socket in a folder made fresh under TMPDIR.
    for (const char* value : {"", "run"}) {
        RunPlace place = usr;
        place.xdgRuntimeDir = value;
        place.tmpDir = "/var/tmp";
        const AppPaths p = DecideAppPaths(place);
        EXPECT_EQ(p.instanceLock, "/home/ann/.local/share/tintpick/HisColors.dat.lock");
        EXPECT_EQ(p.instanceSocket, "");
        EXPECT_EQ(p.socketFolderUnder, "/var/tmp");
    }
}
