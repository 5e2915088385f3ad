#include "platform/SingleInstance.h"

#include "base/AppPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <algorithm>

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

// A request or an answer is one short line; a peer that sends more without
// a newline is cut off instead of being buffered without end.
constexpr qint64 MaxLine = 4096;

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() {
    if (server_) server_->close(); // removes the socket file
    releaseLock();
}

void SingleInstance::releaseLock() {
    lock_.release();
}

SingleInstance::Meeting SingleInstance::meet(const AppPaths& paths, const QByteArray& request,
                                             const QByteArray& answer,
                                             std::chrono::milliseconds patience) {
    if (!lock_.open(paths, problem_)) return Meeting::Unusable;
    const QDeadlineTimer deadline(patience);
    bool foreign = false;
    QString socketPath;
    for (;;) {
        const InstanceLock::Try taken = lock_.tryTake(problem_);
        if (taken == InstanceLock::Try::Taken) return Meeting::Locked;
        if (taken == InstanceLock::Try::Failed) {
            releaseLock();
            return Meeting::Unusable;
        }
        // Only an answer counts: an instance that is ending reads nothing
        // more, and then the lock comes free. One that is starting may not
        // have said yet where it listens.
        socketPath = lock_.socketToAsk(paths);
        if (!socketPath.isEmpty() && ask(socketPath, request, answer, deadline, foreign)) {
            releaseLock();
            return Meeting::Answered;
        }
        if (deadline.hasExpired()) break;
        QThread::msleep(100);
    }
    releaseLock();
    problem_ = foreign ? QStringLiteral("%1 is served by another user's program").arg(socketPath)
                       : QStringLiteral("the running instance (%1) did not answer")
                             .arg(QString::fromStdString(paths.instanceLock));
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
                         const QByteArray& answer, const QDeadlineTimer& deadline, bool& foreign) {
    const auto left = [&] { return int(std::max<qint64>(1, deadline.remainingTime())); };
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(std::min(left(), 1000))) return false;
    if (!InstanceLock::servedByThisUser(socket.socketDescriptor())) {
        foreign = true;
        return false;
    }
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
    const QString socketPath = lock_.socketToListen(paths, problem_);
    if (socketPath.isEmpty()) {
        releaseLock();
        return false;
    }
    // Holding the lock means no instance is alive: a socket file still
    // there was left by one that crashed.
    QLocalServer::removeServer(socketPath);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const bool listening = server_->listen(socketPath);
    if (!listening || !lock_.announce(socketPath, problem_)) {
        if (!listening)
            problem_ =
                QStringLiteral("cannot listen on %1: %2").arg(socketPath, server_->errorString());
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
