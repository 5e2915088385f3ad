// Where the files lie on Windows: beside the program when it runs from a
// folder of its own, in %APPDATA%\Tintpick when it is installed.
#include "base/AppPaths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>

namespace tp {

namespace {

constexpr const char* AppFolder = "Tintpick";
constexpr const char* HistoryName = "HisColors.dat";
constexpr const char* StoreName = "store.kvd";
constexpr const char* PageName = "ColorTable.htm";
constexpr const char* SchemaName = "schema.sql";
constexpr const char* SettingsName = "tintpick.ini";

// Backslashes, no trailing one (but a drive's root keeps its own).
std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

std::string Join(const std::string& dir, const std::string& name) {
    const std::string d = Native(dir);
    if (d.empty()) return name;
    return d.back() == '\\' ? d + name : d + "\\" + name;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows file names compare without case (ASCII letters are what matters
// for the folders compared here).
std::string Folded(const std::string& path) {
    std::string out = Native(path);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool Inside(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    const std::string p = Folded(path), f = Folded(folder);
    return p.size() > f.size() && p.compare(0, f.size(), f) == 0 &&
           (f.back() == '\\' || p[f.size()] == '\\');
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

std::string Env(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring w(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, w.data(), n);
    w.resize(got);
    return Utf8(w);
}

// Access rights on Windows live in the folder's ACL, which access() does
// not read: the only sure answer is making a file there.
bool CanWriteIn(const std::string& dir) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string probe =
            Join(dir, ".tintpick-probe-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(attempt));
        const HANDLE h = CreateFileW(Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool IsFile(const std::string& path) {
    const DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

const char* InstalledDataFromExe() {
    return ".";
}

AppPaths DecideAppPaths(const RunPlace& place) {
    AppPaths p;
    bool installed = !place.exeDirWritable || place.installedDataPresent ||
                     Inside(place.exeDir, Join(place.localAppData, "Programs"));
    for (const std::string& folder : place.programFiles)
        installed = installed || Inside(place.exeDir, folder);

    // The shared data always lies beside the program.
    p.referencePage = Join(place.exeDir, PageName);
    if (installed) {
        p.mode = AppMode::Installed;
        const std::string appData =
            !place.appData.empty() ? place.appData : Join(place.home, "AppData\\Roaming");
        p.userDir = Join(appData, AppFolder);
        p.history = Join(p.userDir, HistoryName);
        p.settings = Join(p.userDir, SettingsName);
        p.store.candidates = {StoreName, Join(p.userDir, StoreName)};
        p.store.createAt = Join(p.userDir, StoreName);
        p.store.schema = Join(place.exeDir, SchemaName);
    } else {
        p.history = Join(place.exeDir, HistoryName);
        p.settings = Join(place.exeDir, SettingsName);
        p.store.candidates = {StoreName};
    }

    // The lock lies beside the history file; the pipe is named after it.
    // Two copies with a history each run side by side, two starts of one
    // install are one instance.
    p.runtimeDir = p.history.substr(0, p.history.find_last_of('\\'));
    p.instanceLock = p.history + ".lock";
    p.instanceSocket = "tintpick-" + Hex64(Fnv1a(Folded(p.history)));
    return p;
}

void MakeUserFolder(const AppPaths& paths) {
    // %APPDATA% is the user's own: folders made in it inherit its rights.
    std::error_code ec;
    if (!paths.userDir.empty()) std::filesystem::create_directories(Wide(paths.userDir), ec);
}

RunPlace ProbeRunPlace(const std::string& exeDir) {
    RunPlace r;
    r.exeDir = Native(exeDir);
    r.exeDirWritable = CanWriteIn(r.exeDir);
    r.installedDataPresent = IsFile(Join(r.exeDir, InstallMarkerName));
    r.home = Env(L"USERPROFILE");
    r.appData = Env(L"APPDATA");
    r.localAppData = Env(L"LOCALAPPDATA");
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432"})
        if (std::string folder = Env(name); !folder.empty()) r.programFiles.push_back(folder);
    r.tmpDir = Env(L"TEMP");
    return r;
}

} // namespace tp
