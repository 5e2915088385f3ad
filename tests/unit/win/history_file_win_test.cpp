// The history file's promises on Windows: a symbolic link or a junction in
// its place is neither read nor written through, and a save killed before
// its rename leaves the old file whole.
#include "history/HistoryFile.h"
#include "history/HistoryRing.h"
#include "unit/history_scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <windows.h>

using namespace tp;
using namespace tp::testing;
namespace fs = std::filesystem;

namespace {
bool IsReparsePoint(const fs::path& p) {
    const DWORD a = GetFileAttributesW(p.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Wine 8 makes no reparse points (CreateSymbolicLinkW succeeds and makes
// nothing, FSCTL_SET_REPARSE_POINT is not supported) but shows a Unix
// symbolic link to a folder as one; a link to a file it shows as the file,
// which no Windows program can tell. Under Wine the folder's link is made
// by the Unix ln, which Wine starts as it starts a Windows program.
bool MakeUnixFolderLink(const fs::path& link, const fs::path& target) {
    using ToUnix = char* (*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return false; // not Wine
    const auto unixName = [&](const fs::path& p) {
        char* name = toUnix(fs::absolute(p).c_str());
        std::wstring w = name ? fs::path(name).wstring() : std::wstring();
        HeapFree(GetProcessHeap(), 0, name);
        return w;
    };
    std::wstring command = L"/bin/ln -s \"" + unixName(target) + L"\" \"" + unixName(link) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    // Wine gives no handle to wait on for a Unix process: wait for the link.
    for (int i = 0; i < 300 && !IsReparsePoint(link); ++i)
        Sleep(100);
    return IsReparsePoint(link);
}

// Plants a reparse point at `link` leading to `target`, as mklink makes
// them: a junction (a mount point, on a folder; a user needs no privilege
// for it) or a symbolic link to a file. CreateSymbolicLinkW is tried first
// for the latter; where it makes nothing (it needs a privilege), the
// reparse data is set by hand.
bool MakeReparsePoint(const fs::path& link, const fs::path& target, bool junction) {
    if (!junction && CreateSymbolicLinkW(link.c_str(), target.c_str(), 2) && IsReparsePoint(link))
        return true;
    std::error_code ec;
    fs::remove(link, ec);
    if (junction && MakeUnixFolderLink(link, target)) return true;
    if (junction ? !CreateDirectoryW(link.c_str(), nullptr)
                 : !CloseHandle(CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr)))
        return false;
    const HANDLE h =
        CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const std::wstring substitute = L"\\??\\" + fs::absolute(target).wstring();
    const std::wstring print = fs::absolute(target).wstring();
    const size_t subBytes = substitute.size() * 2, printBytes = print.size() * 2;
    // Header (tag, length, reserved), the four name offsets and lengths, a
    // symbolic link's flags, then both names, each with its terminator.
    const size_t names = junction ? 16 : 20;
    std::vector<uint8_t> buf(names + subBytes + 2 + printBytes + 2, 0);
    const auto put16 = [&](size_t at, size_t v) {
        buf[at] = static_cast<uint8_t>(v);
        buf[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    const DWORD tag = junction ? IO_REPARSE_TAG_MOUNT_POINT : IO_REPARSE_TAG_SYMLINK;
    std::memcpy(buf.data(), &tag, 4);
    put16(4, buf.size() - 8);
    put16(8, 0);
    put16(10, subBytes);
    put16(12, subBytes + 2);
    put16(14, printBytes);
    std::memcpy(buf.data() + names, substitute.data(), subBytes);
    std::memcpy(buf.data() + names + subBytes + 2, print.data(), printBytes);
    DWORD got = 0;
    const BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buf.data(),
                                    static_cast<DWORD>(buf.size()), nullptr, 0, &got, nullptr);
    CloseHandle(h);
    if (!ok || !IsReparsePoint(link)) {
        fs::remove(link, ec);
        return false;
    }
    return true;
}
} // namespace

TEST(HistoryFileWindows, LinksAndJunctionsAreNeitherReadNorWrittenThrough) {
    Scratch s;
    const fs::path victim = s.dir / "victim.txt";
    fs::copy_file(fixture("history_70.dat"), victim);
    const auto victimBytes = readAll(victim);
    const fs::path folder = s.dir / "folder";
    fs::create_directory(folder);

    int planted = 0;
    for (int kind = 0; kind < 3; ++kind) {
        std::error_code ec;
        fs::remove(s.file, ec);
        const bool made = kind == 0   ? MakeReparsePoint(s.file, victim, false)
                          : kind == 1 ? MakeReparsePoint(s.file, s.dir / "nowhere.dat", false)
                                      : MakeReparsePoint(s.file, folder, true);
        if (!made) continue; // a symbolic link may need a privilege this user lacks
        ++planted;
        TRGB current{1, 2, 3};
        HistoryRing ring;
        ring.Push(A);
        const HistoryRing before = ring;
        const HistoryIo load = LoadHistoryFile(s.file.string(), current, ring);
        EXPECT_FALSE(load.ok) << kind;
        EXPECT_EQ(load.refused, HistoryRefusal::SymbolicLink) << kind;
        EXPECT_EQ(current, (TRGB{1, 2, 3})) << kind;
        EXPECT_EQ(ring.HistorySlots, before.HistorySlots) << kind;
        const HistoryIo save = SaveHistoryFile(s.file.string(), current, ring);
        EXPECT_FALSE(save.ok) << kind;
        EXPECT_EQ(save.refused, HistoryRefusal::SymbolicLink) << kind;
        EXPECT_TRUE(IsReparsePoint(s.file)) << kind;
        EXPECT_TRUE(holdsBytes(victim, victimBytes)) << kind;
        EXPECT_FALSE(fs::exists(s.dir / "nowhere.dat")) << kind;
        EXPECT_TRUE(fs::is_empty(folder)) << kind;
        if (!RemoveDirectoryW(s.file.c_str())) DeleteFileW(s.file.c_str());
    }
    // The junction needs no privilege (and Wine has its stand-in): at
    // least that one was planted.
    EXPECT_GE(planted, 1);
}

namespace {
constexpr const char* KillAtRename = "TINTPICK_TEST_KILL_AT_RENAME";

// Ends this process the moment anything asks MoveFileExW to move a file:
// its first instructions become a jump to here.
[[noreturn]] void DieAtRename() {
    TerminateProcess(GetCurrentProcess(), 9);
    for (;;) {
    }
}

void PatchMoveFile() {
    auto* target = reinterpret_cast<uint8_t*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "MoveFileExW"));
    ASSERT_NE(target, nullptr);
    uint8_t jump[12] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0}; // mov rax, imm; jmp rax
    const auto to = reinterpret_cast<uintptr_t>(&DieAtRename);
    std::memcpy(jump + 2, &to, sizeof to);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(target, sizeof jump, PAGE_EXECUTE_READWRITE, &old));
    std::memcpy(target, jump, sizeof jump);
    FlushInstructionCache(GetCurrentProcess(), target, sizeof jump);
}
} // namespace

TEST(HistoryFileWindows, SaveKilledBeforeItsRenameLeavesTheOldFileWhole) {
    if (const char* file = std::getenv(KillAtRename)) {
        // The child: its save ends at the rename.
        PatchMoveFile();
        TRGB current{7, 8, 9};
        HistoryRing ring;
        ring.Push(A);
        SaveHistoryFile(file, current, ring);
        std::_Exit(0);
    }
    Scratch s("history_70.dat");
    const auto old = readAll(s.file);
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_filter=HistoryFileWindows.SaveKilledBeforeItsRename*";
    SetEnvironmentVariableA(KillAtRename, s.file.string().c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(KillAtRename, nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 9u) << "the save finished without a rename";
    EXPECT_TRUE(holdsBytes(s.file, old));
}

TEST(HistoryFileWindows, SaveReplacesTheFileWholeKeepingItsTail) {
    Scratch s("history_70.dat");
    const auto old = readAll(s.file);
    TRGB current{7, 8, 9};
    HistoryRing ring;
    ring.Push(B);
    ASSERT_TRUE(SaveHistoryFile(s.file.string(), current, ring).ok);
    const auto now = readAll(s.file);
    const auto head = EncodeHistory(current, ring);
    ASSERT_EQ(now.size(), old.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), now.begin()));
    EXPECT_TRUE(
        std::equal(old.begin() + HistoryFileSize, old.end(), now.begin() + HistoryFileSize));
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir), {}), 1);
}
