#include "platform/InstanceLock.h"

#include "base/AppPaths.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

namespace {

QString Errno(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// A folder the socket may lie in: a real folder of this user's that nobody
// else can enter, so no one else can have made the name or can listen on it.
bool PrivateFolder(const QByteArray& dir) {
    struct stat st {};
    return ::lstat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

QByteArray FolderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

} // namespace

bool InstanceLock::open(const AppPaths& paths, QString& problem) {
    release();
    path_ = QString::fromStdString(paths.instanceLock);
    const QByteArray lockPath = QFile::encodeName(path_);
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        problem = Errno(path_);
        return false;
    }
    handle_ = fd;
    return true;
}

InstanceLock::Try InstanceLock::tryTake(QString& problem) {
    if (::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0) return Try::Taken;
    if (errno == EWOULDBLOCK) return Try::Held;
    problem = Errno(path_);
    return Try::Failed;
}

void InstanceLock::release() {
    if (!freshFolder_.isEmpty()) ::rmdir(QFile::encodeName(freshFolder_).constData());
    freshFolder_.clear();
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

QString InstanceLock::socketToAsk(const AppPaths& paths) const {
    if (!paths.instanceSocket.empty()) return QString::fromStdString(paths.instanceSocket);
    char buf[4096];
    const ssize_t n = ::pread(static_cast<int>(handle_), buf, sizeof buf - 1, 0);
    if (n <= 0) return {};
    const QByteArray path = QByteArray(buf, n).trimmed();
    if (path.isEmpty() || !PrivateFolder(FolderOf(path))) return {};
    return QFile::decodeName(path);
}

QString InstanceLock::socketToListen(const AppPaths& paths, QString& problem) {
    if (!paths.instanceSocket.empty()) return QString::fromStdString(paths.instanceSocket);
    QByteArray folder =
        QFile::encodeName(QString::fromStdString(paths.socketFolderUnder)) + "/tintpick-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        problem = Errno(QString::fromLocal8Bit(folder));
        return {};
    }
    freshFolder_ = QFile::decodeName(folder);
    return freshFolder_ + QStringLiteral("/socket");
}

bool InstanceLock::announce(const QString& socketPath, QString& problem) {
    if (freshFolder_.isEmpty()) return true;
    const QByteArray named = QFile::encodeName(socketPath) + '\n';
    const int fd = static_cast<int>(handle_);
    if (::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, named.constData(), size_t(named.size()), 0) != named.size()) {
        problem = Errno(path_);
        return false;
    }
    return true;
}

// The socket lies in a folder only this user can enter; the peer's
// credentials say the same of the listener itself.
bool InstanceLock::servedByThisUser(qintptr socket) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
}

} // namespace tp
