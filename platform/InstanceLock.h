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

    // Opens the lock file (made where missing, in its folder made private
    // where the paths ask for that). False, with `problem` set, where there
    // is no lock to take.
    bool open(const AppPaths& paths, QString& problem);
    enum class Try { Taken, Held, Failed };
    // Takes the lock without waiting: Held while another process has it.
    Try tryTake(QString& problem);
    void release();

private:
    std::intptr_t handle_ = -1;
    QString path_;
};

} // namespace tp
