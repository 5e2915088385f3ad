// The history file's promises that only POSIX systems can be asked about:
// permissions, FIFOs, symbolic links, a process killed by the kernel.
#include "history/HistoryFile.h"
#include "history/HistoryRing.h"
#include "unit/history_scratch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tp;
using namespace tp::testing;
namespace fs = std::filesystem;

TEST(HistoryFile, ReadOnlyFileLoadsButItsSaveFails) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes through read-only permissions";
    Scratch s("history_59.dat");
    fs::permissions(s.file, fs::perms::owner_read);
    TRGB current;
    HistoryRing ring;
    ASSERT_TRUE(LoadHistoryFile(s.file.string(), current, ring).ok);
    EXPECT_EQ(current, (TRGB{10, 20, 30}));
    ring.Push(B);
    EXPECT_FALSE(SaveHistoryFile(s.file.string(), current, ring).ok);
    EXPECT_EQ(readAll(s.file), readAll(fixture("history_59.dat")));
}

TEST(HistoryFile, SymbolicLinksAreNeitherReadNorWrittenThrough) {
    Scratch s;
    const fs::path victim = s.dir / "victim.txt";
    fs::copy_file(fixture("history_70.dat"), victim);
    const auto victimBytes = readAll(victim);
    const fs::path nowhere = s.dir / "nowhere.dat";
    const fs::path folder = s.dir / "folder";
    fs::create_directory(folder);

    for (const fs::path& target : {victim, nowhere, folder}) {
        fs::remove(s.file);
        fs::create_symlink(target, s.file);
        TRGB current{1, 2, 3};
        HistoryRing ring;
        ring.Push(A);
        const HistoryRing before = ring;

        const HistoryIo load = LoadHistoryFile(s.file.string(), current, ring);
        EXPECT_FALSE(load.ok) << target;
        EXPECT_EQ(load.refused, HistoryRefusal::SymbolicLink) << target;
        EXPECT_FALSE(load.error.empty()) << target;
        EXPECT_EQ(current, (TRGB{1, 2, 3})) << target;
        EXPECT_EQ(ring.HistorySlots, before.HistorySlots) << target;

        const HistoryIo save = SaveHistoryFile(s.file.string(), current, ring);
        EXPECT_FALSE(save.ok) << target;
        EXPECT_EQ(save.refused, HistoryRefusal::SymbolicLink) << target;

        EXPECT_TRUE(fs::is_symlink(s.file)) << target;
        EXPECT_EQ(fs::read_symlink(s.file), target);
        EXPECT_TRUE(holdsBytes(victim, victimBytes));
        EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere))) << target;
        EXPECT_TRUE(fs::is_empty(folder)) << target;
    }
    // Nothing was left beside the file either.
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir), {}), 3);
}

TEST(HistoryFile, FifoInItsPlaceIsTurnedAwayWithoutWaitingForAWriter) {
    Scratch s;
    ASSERT_EQ(::mkfifo(s.file.c_str(), 0644), 0);
    // Opening a FIFO for reading waits for a writer that never comes; should
    // that happen, the alarm ends the test run instead of hanging it.
    ::alarm(120);
    TRGB current{1, 2, 3};
    HistoryRing ring;
    const HistoryIo load = LoadHistoryFile(s.file.string(), current, ring);
    const HistoryIo save = SaveHistoryFile(s.file.string(), current, ring);
    ::alarm(0);
    EXPECT_FALSE(load.ok);
    EXPECT_EQ(load.refused, HistoryRefusal::NotRegularFile);
    EXPECT_EQ(current, (TRGB{1, 2, 3}));
    EXPECT_FALSE(save.ok);
    EXPECT_EQ(save.refused, HistoryRefusal::NotRegularFile);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(s.file)));
}

TEST(HistoryFile, SaveReplacesTheFileWholeKeepingItsTailAndPermissions) {
    Scratch s("history_70.dat");
    const auto old = readAll(s.file);
    ASSERT_GT(old.size(), HistoryFileSize);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(s.file, mode);
    // A reader that opened the file before the save must see the old
    // contents whole, never a mix of old and new bytes.
    std::ifstream reader(s.file, std::ios::binary);

    TRGB current{7, 8, 9};
    HistoryRing ring;
    ring.Push(A);
    ring.Push(B);
    ASSERT_TRUE(SaveHistoryFile(s.file.string(), current, ring).ok);

    const std::vector<uint8_t> seen{std::istreambuf_iterator<char>(reader), {}};
    EXPECT_EQ(seen, old);
    const auto now = readAll(s.file);
    const auto head = EncodeHistory(current, ring);
    ASSERT_EQ(now.size(), old.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), now.begin()));
    EXPECT_TRUE(
        std::equal(old.begin() + HistoryFileSize, old.end(), now.begin() + HistoryFileSize));
    EXPECT_EQ(fs::status(s.file).permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir), {}), 1);
}

TEST(HistoryFile, SaveKilledBeforeItsRenameLeavesTheOldFileWhole) {
    Scratch s("history_70.dat");
    const auto old = readAll(s.file);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The kernel ends this process the moment it asks for any rename.
        std::vector<sock_filter> code{
            {static_cast<uint16_t>(BPF_LD | BPF_W | BPF_ABS), 0, 0, offsetof(seccomp_data, nr)}};
        for (long nr : {long{SYS_renameat}, long{SYS_renameat2}
#ifdef SYS_rename
                        ,
                        long{SYS_rename}
#endif
             }) {
            code.push_back({static_cast<uint16_t>(BPF_JMP | BPF_JEQ | BPF_K), 0, 1,
                            static_cast<uint32_t>(nr)});
            code.push_back(
                {static_cast<uint16_t>(BPF_RET | BPF_K), 0, 0, SECCOMP_RET_KILL_PROCESS});
        }
        code.push_back({static_cast<uint16_t>(BPF_RET | BPF_K), 0, 0, SECCOMP_RET_ALLOW});
        const sock_fprog prog{static_cast<unsigned short>(code.size()), code.data()};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &prog) != 0)
            ::_exit(3);
        TRGB current{7, 8, 9};
        HistoryRing ring;
        ring.Push(A);
        SaveHistoryFile(s.file.string(), current, ring);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "no seccomp here";
    EXPECT_TRUE(WIFSIGNALED(status)) << "the save finished without a rename";
    EXPECT_TRUE(holdsBytes(s.file, old));
}

TEST(HistoryFile, ReadOnlyFolderStillTakesTheSaveInTheWritableFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    Scratch s("history_70.dat");
    const auto old = readAll(s.file);
    fs::permissions(s.dir, fs::perms::owner_read | fs::perms::owner_exec);
    TRGB current{7, 8, 9};
    HistoryRing ring;
    ring.Push(A);
    ASSERT_TRUE(SaveHistoryFile(s.file.string(), current, ring).ok);
    const auto now = readAll(s.file);
    const auto head = EncodeHistory(current, ring);
    ASSERT_EQ(now.size(), old.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), now.begin()));
    EXPECT_TRUE(
        std::equal(old.begin() + HistoryFileSize, old.end(), now.begin() + HistoryFileSize));
}
