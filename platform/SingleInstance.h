#pragma once
// One running program per user and history file. The first start holds a
// lock for its whole life and listens on a local socket; a later start finds
// the lock taken, asks the running one through the socket to come forward,
// and ends. The system drops the lock when its holder dies, so a socket left
// behind by a crash never blocks the next start.
#include <QByteArray>
#include <QObject>
#include <QString>

#include "platform/InstanceLock.h"

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
    // Why the outcome was Alone or NoAnswer, or why a colour was not taken.
    QString problem() const { return problem_; }

    // For a pick made by a process of its own: the colour (six hex digits)
    // goes into the running instance's history, which would otherwise
    // overwrite, when it ends, a history file written meanwhile.
    enum class Delivery {
        Delivered,  // the running instance took the colour
        NoInstance, // none runs; until this object goes, none can start, so
                    // the history file is the caller's to write
        Failed,     // an instance runs but did not take it (see problem())
    };
    Delivery deliverColour(const AppPaths& paths, const QString& code,
                           std::chrono::milliseconds patience = std::chrono::seconds(10));

signals:
    // A later start asked this instance to show its main window.
    void activationRequested();
    // A pick made by another process, as six hex digits, for the history.
    void colourDelivered(const QString& code);

private:
    // How a start meets the running instance: it takes the lock (none runs;
    // held until this object goes), or the lock's holder answers the
    // request, or the holder stays silent until the patience runs out, or
    // there is no rendezvous to meet at.
    enum class Meeting { Locked, Answered, Silent, Unusable };
    Meeting meet(const AppPaths& paths, const QByteArray& request, const QByteArray& answer,
                 std::chrono::milliseconds patience);
    bool becomePrimary(const AppPaths& paths);
    // Sends one request line and waits for the one answer line it expects.
    // `foreign` is set where the socket is served by another user's process.
    static bool ask(const QString& socketPath, const QByteArray& request, const QByteArray& answer,
                    const QDeadlineTimer& deadline, bool& foreign);
    void releaseLock();
    InstanceLock lock_;
    QLocalServer* server_ = nullptr;
    QString problem_;
};

} // namespace tp
