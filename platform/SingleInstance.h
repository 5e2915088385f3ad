#pragma once
// One running program per user and history file. The first start holds a
// lock for its whole life and listens on a local socket; a later start finds
// the lock taken, asks the running one through the socket to come forward,
// and ends. The kernel drops the lock when its holder dies, so a socket left
// behind by a crash never blocks the next start.
#include <QObject>
#include <QString>

#include <chrono>

class QDeadlineTimer;
class QLocalServer;

namespace tp {

struct AppPaths;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Primary,    // this process is the instance and listens for later starts
        HandedOver, // the running instance came forward: end quietly
        NoAnswer,   // an instance is running but did not answer in time
        Alone,      // no rendezvous could be set up: run without one
    };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // patience: how long a later start waits for the running instance to
    // answer (it may be starting up, or ending: then this start takes over).
    Outcome claimOrHandOver(const AppPaths& paths,
                            std::chrono::milliseconds patience = std::chrono::seconds(10));
    // Why the outcome was Alone or NoAnswer.
    QString problem() const { return problem_; }

signals:
    // A later start asked this instance to show its main window.
    void activationRequested();

private:
    bool becomePrimary(const QString& socketPath);
    static bool askToComeForward(const QString& socketPath, const QDeadlineTimer& deadline);
    void releaseLock();
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    QString problem_;
};

} // namespace tp
