// Where the program keeps its files on Windows: a copy in a folder of its
// own keeps everything beside itself; an install keeps the user's files and
// settings in %APPDATA%\Tintpick.
#include "base/AppPaths.h"

#include <gtest/gtest.h>

using namespace tp;

namespace {
RunPlace Place(const std::string& exeDir, bool writable) {
    RunPlace r;
    r.exeDir = exeDir;
    r.exeDirWritable = writable;
    r.home = "C:\\Users\\Ann";
    r.appData = "C:\\Users\\Ann\\AppData\\Roaming";
    r.localAppData = "C:\\Users\\Ann\\AppData\\Local";
    r.programFiles = {"C:\\Program Files", "C:\\Program Files (x86)"};
    return r;
}
} // namespace

TEST(AppPathsWindows, AFolderOfItsOwnKeepsEverythingBesideTheProgram) {
    const AppPaths p = DecideAppPaths(Place("D:\\Tools\\Tintpick", true));
    EXPECT_EQ(p.mode, AppMode::Portable);
    EXPECT_EQ(p.history, "D:\\Tools\\Tintpick\\HisColors.dat");
    EXPECT_EQ(p.settings, "D:\\Tools\\Tintpick\\tintpick.ini");
    EXPECT_EQ(p.referencePage, "D:\\Tools\\Tintpick\\ColorTable.htm");
    EXPECT_EQ(p.store.candidates, std::vector<std::string>{"store.kvd"});
    EXPECT_TRUE(p.store.createAt.empty());
    EXPECT_TRUE(p.userDir.empty());
    EXPECT_EQ(p.instanceLock, "D:\\Tools\\Tintpick\\HisColors.dat.lock");
}

TEST(AppPathsWindows, AnInstallKeepsTheUsersFilesInAppData) {
    RunPlace marked = Place("D:\\Tools\\Tintpick", true);
    marked.installedDataPresent = true;
    // Folder names compare without case, as Windows compares them.
    for (const RunPlace& place : {Place("C:\\Users\\Ann\\AppData\\Local\\Programs\\Tintpick", true),
                                  Place("c:\\program files\\Tintpick", false),
                                  Place("C:\\Program Files (x86)\\Tintpick", true),
                                  Place("E:\\ReadOnly\\Tintpick", false), marked}) {
        SCOPED_TRACE(place.exeDir);
        const AppPaths p = DecideAppPaths(place);
        EXPECT_EQ(p.mode, AppMode::Installed);
        EXPECT_EQ(p.userDir, "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick");
        EXPECT_EQ(p.history, "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick\\HisColors.dat");
        EXPECT_EQ(p.settings, "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick\\tintpick.ini");
        EXPECT_EQ(p.store.candidates,
                  (std::vector<std::string>{
                      "store.kvd", "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick\\store.kvd"}));
        EXPECT_EQ(p.store.createAt, "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick\\store.kvd");
        // The shared data lies beside the program.
        EXPECT_EQ(p.store.schema, place.exeDir + "\\schema.sql");
        EXPECT_EQ(p.referencePage, place.exeDir + "\\ColorTable.htm");
    }
    // A folder whose name only begins like Program Files is none of it.
    EXPECT_EQ(DecideAppPaths(Place("C:\\Program Files Portable\\Tintpick", true)).mode,
              AppMode::Portable);
}

TEST(AppPathsWindows, OneInstancePerHistoryFile) {
    const AppPaths a = DecideAppPaths(Place("C:\\Program Files\\Tintpick", false));
    const AppPaths b =
        DecideAppPaths(Place("C:\\Users\\Ann\\AppData\\Local\\Programs\\Tintpick", true));
    EXPECT_EQ(a.instanceSocket, b.instanceSocket);
    EXPECT_EQ(a.instanceLock, "C:\\Users\\Ann\\AppData\\Roaming\\Tintpick\\HisColors.dat.lock");
    // A pipe name, not a path.
    EXPECT_EQ(a.instanceSocket.find('\\'), std::string::npos);
    const AppPaths one = DecideAppPaths(Place("D:\\One", true));
    const AppPaths two = DecideAppPaths(Place("D:\\Two", true));
    EXPECT_NE(one.instanceSocket, two.instanceSocket);
    EXPECT_NE(one.instanceSocket, a.instanceSocket);
    EXPECT_EQ(DecideAppPaths(Place("d:\\one", true)).instanceSocket, one.instanceSocket);
}
