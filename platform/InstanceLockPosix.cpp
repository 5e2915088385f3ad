#include "platform/InstanceLock.h"

#include "base/AppPaths.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

namespace {

QString Errno(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// The fallback rendezvous lies in a shared temporary folder: use it only if
// it is a real folder of ours that nobody else can enter.
bool PrivateFolder(const QByteArray& dir, QString& problem) {
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST) {
        problem = Errno(QString::fromLocal8Bit(dir));
        return false;
    }
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0) {
        problem = Errno(QString::fromLocal8Bit(dir));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0) {
        problem = QStringLiteral("%1 is not a private folder of this user")
                      .arg(QString::fromLocal8Bit(dir));
        return false;
    }
    return true;
}

} // namespace

bool InstanceLock::open(const AppPaths& paths, QString& problem) {
    release();
    const QByteArray dir = QFile::encodeName(QString::fromStdString(paths.runtimeDir));
    if (paths.runtimeDirIsPrivate && !PrivateFolder(dir, problem)) return false;
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
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

} // namespace tp
