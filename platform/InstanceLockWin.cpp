#include "platform/InstanceLock.h"

#include "base/AppPaths.h"

#include <QDir>

#include <vector>
#include <windows.h>

namespace tp {

namespace {
HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

// The user a process runs as, or an empty buffer where it cannot be told
// (a process of another user does not let its token be read).
std::vector<char> TokenUser(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    if (size == 0 || !GetTokenInformation(token, ::TokenUser, user.data(), size, &size))
        user.clear();
    CloseHandle(token);
    return user;
}

PSID SidOf(std::vector<char>& user) {
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}
} // namespace

bool InstanceLock::open(const AppPaths& paths, QString& problem) {
    release();
    // Beside the history file, whose folder an install makes only later.
    const QString dir = QString::fromStdString(paths.runtimeDir);
    if (!QDir().mkpath(dir)) {
        problem = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    path_ = QString::fromStdString(paths.instanceLock);
    const HANDLE h =
        CreateFileW(reinterpret_cast<const wchar_t*>(path_.utf16()), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        problem = path_ + QStringLiteral(": ") + qt_error_string(static_cast<int>(GetLastError()));
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    return true;
}

InstanceLock::Try InstanceLock::tryTake(QString& problem) {
    OVERLAPPED whole{};
    if (LockFileEx(AsHandle(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &whole))
        return Try::Taken;
    const DWORD code = GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return Try::Held;
    problem = path_ + QStringLiteral(": ") + qt_error_string(static_cast<int>(code));
    return Try::Failed;
}

void InstanceLock::release() {
    // Closing the handle drops the lock with it.
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

// The pipe's name is fixed by the paths (the lock cannot be read while it is
// held: Windows' locks are mandatory); the server lets only this user in.
QString InstanceLock::socketToAsk(const AppPaths& paths) const {
    return QString::fromStdString(paths.instanceSocket);
}

QString InstanceLock::socketToListen(const AppPaths& paths, QString&) {
    return QString::fromStdString(paths.instanceSocket);
}

bool InstanceLock::announce(const QString&, QString&) {
    return true;
}

// Pipe names are one namespace for every user of the machine, and a pipe
// someone else made first would take this user's requests: the process
// serving the pipe must run as this user.
bool InstanceLock::servedByThisUser(qintptr socket) {
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(reinterpret_cast<HANDLE>(socket), &pid)) return false;
    const HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!server) return false;
    std::vector<char> theirs = TokenUser(server);
    CloseHandle(server);
    std::vector<char> ours = TokenUser(GetCurrentProcess());
    return !theirs.empty() && !ours.empty() && EqualSid(SidOf(theirs), SidOf(ours));
}

} // namespace tp
