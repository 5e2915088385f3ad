#include "platform/ProcessConsole.h"

#include <cstdio>

#include <windows.h>

namespace tp {

namespace {
// A standard handle that leads somewhere already (a file, a pipe of the
// caller) is kept; only a missing one is sent to the console.
bool Redirected(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}
} // namespace

void UseStartingConsole() {
    const bool out = Redirected(STD_OUTPUT_HANDLE), err = Redirected(STD_ERROR_HANDLE);
    if (out && err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out && std::freopen("CONOUT$", "w", stdout)) std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!err && std::freopen("CONOUT$", "w", stderr)) std::setvbuf(stderr, nullptr, _IONBF, 0);
}

} // namespace tp
