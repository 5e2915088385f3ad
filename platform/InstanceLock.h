#pragma once
// The running instance's lock, held for its whole life; the system drops it
// when its holder dies, so a crash never blocks the next start. One file
// per system: flock() on POSIX, LockFileEx on Windows.
#include <QString>

#include <cstdint>

namespace tp {

struct AppPaths;

class InstanceLock {
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock() { release(); }

    // Opens the lock file (made where missing). False, with `problem` set, where there
    // is no lock to take.
    bool open(const AppPaths& paths, QString& problem);
    enum class Try { Taken, Held, Failed };
    // Takes the lock without waiting: Held while another process has it.
    Try tryTake(QString& problem);
    // Drops the lock, and the socket's folder where this holder made one.
    void release();

    // Where a later start asks the holder: the socket the paths name, or
    // where the holder said it listens (empty while it has not said yet).
    QString socketToAsk(const AppPaths& paths) const;
    // Where the holder listens: the socket the paths name, or one in a
    // folder made fresh for it. Empty, with `problem` set, where none can be.
    QString socketToListen(const AppPaths& paths, QString& problem);
    // Tells later starts where the holder listens, where the paths do not.
    bool announce(const QString& socketPath, QString& problem);
    // Whether the end a later start reached (the socket's descriptor) is
    // served by a process of this same user: a name someone else took first
    // is never talked to.
    static bool servedByThisUser(qintptr socket);

private:
    std::intptr_t handle_ = -1;
    QString path_;
    QString freshFolder_;
};

} // namespace tp
