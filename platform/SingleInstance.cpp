#include "platform/SingleInstance.h"

#include "base/AppPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tp {

namespace {

constexpr char Request[] = "show\n";
constexpr char Answer[] = "shown\n";
constexpr char ColourRequest[] = "colour ";
constexpr char ColourAnswer[] = "kept\n";

bool IsHexCode(const QByteArray& code) {
    return code.size() == 6 && std::all_of(code.begin(), code.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
           });
}

QString Errno(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

// A request or an answer is one short line; a peer that sends more without
// a newline is cut off instead of being buffered without end.
constexpr qint64 MaxLine = 4096;

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

// Where the running instance listens, as it wrote it into the lock file.
QString SocketNamedIn(int lockFd) {
    char buf[4096];
    const ssize_t n = ::pread(lockFd, buf, sizeof buf - 1, 0);
    if (n <= 0) return {};
    const QByteArray path = QByteArray(buf, n).trimmed();
    if (path.isEmpty() || !PrivateFolder(FolderOf(path))) return {};
    return QFile::decodeName(path);
}

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close(); // removes the socket file
    if (!freshFolder_.isEmpty()) ::rmdir(freshFolder_.constData());
    releaseLock();
}

void SingleInstance::releaseLock() {
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
}

SingleInstance::Meeting SingleInstance::meet(const AppPaths& paths, const QByteArray& request,
                                             const QByteArray& answer,
                                             std::chrono::milliseconds patience) {
    const QByteArray lockPath = QFile::encodeName(QString::fromStdString(paths.instanceLock));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0) {
        problem_ = Errno(QString::fromLocal8Bit(lockPath));
        return Meeting::Unusable;
    }
    const QDeadlineTimer deadline(patience);
    for (;;) {
        if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return Meeting::Locked;
        if (errno != EWOULDBLOCK) {
            problem_ = Errno(QString::fromLocal8Bit(lockPath));
            releaseLock();
            return Meeting::Unusable;
        }
        // Only an answer counts: an instance that is ending reads nothing
        // more, and then the lock comes free. One that is starting may not
        // have said yet where it listens.
        const QString socketPath = paths.instanceSocket.empty()
                                       ? SocketNamedIn(lockFd_)
                                       : QString::fromStdString(paths.instanceSocket);
        if (!socketPath.isEmpty() && ask(socketPath, request, answer, deadline)) {
            releaseLock();
            return Meeting::Answered;
        }
        if (deadline.hasExpired()) break;
        QThread::msleep(100);
    }
    releaseLock();
    problem_ = QStringLiteral("the running instance (%1) did not answer")
                   .arg(QString::fromLocal8Bit(lockPath));
    return Meeting::Silent;
}

SingleInstance::Outcome SingleInstance::claimOrHandOver(const AppPaths& paths,
                                                        std::chrono::milliseconds patience) {
    switch (meet(paths, Request, Answer, patience)) {
    case Meeting::Locked:
        return becomePrimary(paths) ? Outcome::Primary : Outcome::Alone;
    case Meeting::Answered:
        return Outcome::HandedOver;
    case Meeting::Unusable:
        return Outcome::Alone;
    case Meeting::Silent:
        break;
    }
    return Outcome::NoAnswer;
}

SingleInstance::Delivery SingleInstance::deliverColour(const AppPaths& paths, const QString& code,
                                                       std::chrono::milliseconds patience) {
    switch (meet(paths, ColourRequest + code.toLatin1() + '\n', ColourAnswer, patience)) {
    case Meeting::Locked:
        // Held until this object goes: an instance starting meanwhile waits
        // for the file to be written before it reads it.
        return Delivery::NoInstance;
    case Meeting::Answered:
        return Delivery::Delivered;
    case Meeting::Unusable:
        // Without a rendezvous no instance can be found, and none can have
        // started with one either: the file is all there is.
        return Delivery::NoInstance;
    case Meeting::Silent:
        break;
    }
    return Delivery::Failed;
}

bool SingleInstance::ask(const QString& socketPath, const QByteArray& request,
                         const QByteArray& answer, const QDeadlineTimer& deadline) {
    const auto left = [&] { return int(std::max<qint64>(1, deadline.remainingTime())); };
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(std::min(left(), 1000))) return false;
    socket.write(request);
    if (!socket.waitForBytesWritten(left())) return false;
    QByteArray reply;
    while (!reply.contains('\n')) {
        if (reply.size() > MaxLine || !socket.waitForReadyRead(left())) return false;
        reply += socket.readAll();
    }
    return reply == answer;
}

bool SingleInstance::becomePrimary(const AppPaths& paths) {
    QString socketPath = QString::fromStdString(paths.instanceSocket);
    if (socketPath.isEmpty()) {
        QByteArray folder =
            QFile::encodeName(QString::fromStdString(paths.socketFolderUnder)) + "/tintpick-XXXXXX";
        if (!::mkdtemp(folder.data())) {
            problem_ = Errno(QString::fromLocal8Bit(folder));
            releaseLock();
            return false;
        }
        freshFolder_ = folder;
        socketPath = QFile::decodeName(folder) + QStringLiteral("/socket");
    }
    // Holding the lock means no instance is alive: a socket file still
    // there was left by one that crashed.
    QLocalServer::removeServer(socketPath);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QByteArray named = QFile::encodeName(socketPath) + '\n';
    if (!server_->listen(socketPath) ||
        (!freshFolder_.isEmpty() &&
         (::ftruncate(lockFd_, 0) != 0 ||
          ::pwrite(lockFd_, named.constData(), size_t(named.size()), 0) != named.size()))) {
        problem_ =
            server_->isListening()
                ? Errno(QString::fromStdString(paths.instanceLock))
                : QStringLiteral("cannot listen on %1: %2").arg(socketPath, server_->errorString());
        delete server_;
        server_ = nullptr;
        // Without a listener the lock would only make later starts wait.
        releaseLock();
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine() && s->bytesAvailable() > MaxLine) {
                    s->abort();
                    return;
                }
                while (s->canReadLine()) {
                    const QByteArray line = s->readLine();
                    if (line.size() > MaxLine) {
                        s->abort();
                        return;
                    }
                    if (line == Request) {
                        emit activationRequested();
                        s->write(Answer);
                    } else if (line.startsWith(ColourRequest)) {
                        const QByteArray code =
                            line.mid(qsizetype(sizeof ColourRequest) - 1).trimmed();
                        if (!IsHexCode(code)) continue;
                        emit colourDelivered(QString::fromLatin1(code));
                        s->write(ColourAnswer);
                    } else {
                        continue;
                    }
                    s->flush();
                }
            });
        }
    });
    return true;
}

} // namespace tp
