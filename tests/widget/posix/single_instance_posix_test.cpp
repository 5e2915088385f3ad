// One running instance on POSIX systems: a socket file left by a crash does
// not block the next start, without a runtime folder no other user can take
// the meeting place, and a listener of another user is never talked to.
#include "widget/single_instance_fixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <string>
#include <unistd.h>

using namespace tp;
using namespace tp::testing;

TEST_F(SingleInstanceTest, ASocketLeftByACrashDoesNotBlock) {
    // What a crashed instance leaves: a socket file nobody listens on.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    paths.instanceSocket.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(paths.instanceSocket)));

    auto first = std::make_unique<SingleInstance>();
    ASSERT_EQ(first->claimOrHandOver(paths, 2s), Outcome::Primary);
    QSignalSpy forward(first.get(), &SingleInstance::activationRequested);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 1);
    first.reset(); // ends normally
    SingleInstance next;
    EXPECT_EQ(next.claimOrHandOver(paths, 2s), Outcome::Primary);
}

TEST_F(SingleInstanceTest, WithoutARuntimeFolderNoOtherUserCanTakeTheMeetingPlace) {
    // What another user could do first in a shared temporary folder: make
    // the folder a fixed name would use, open to all.
    QTemporaryDir tmp, home;
    const std::string squatted =
        tmp.path().toStdString() + "/tintpick-" + std::to_string(::getuid());
    ASSERT_EQ(::mkdir(squatted.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(squatted.c_str(), 0777), 0);

    RunPlace place;
    place.exeDir = "/opt/tintpick";
    place.home = home.path().toStdString();
    place.tmpDir = tmp.path().toStdString();
    paths = DecideAppPaths(place);
    MakeUserFolder(paths);
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary) << first.problem().toStdString();
    QSignalSpy forward(&first, &SingleInstance::activationRequested);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 1);
}

TEST_F(SingleInstanceTest, AListenerOfAnotherUserIsNeverTalkedTo) {
    if (::getuid() != 0) GTEST_SKIP() << "listening as another user needs root";
    // Another user listens on the name and answers like the program would,
    // while this user's instance holds the lock.
    QTemporaryDir open;
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0777), 0);
    paths.instanceSocket = open.path().toStdString() + "/socket";
    InstanceLock running;
    QString problem;
    ASSERT_TRUE(running.open(paths, problem));
    ASSERT_EQ(running.tryTake(problem), InstanceLock::Try::Taken);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        paths.instanceSocket.copy(addr.sun_path, sizeof addr.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0 ||
            ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4))
            ::_exit(1);
        (void)!::write(ready[1], "r", 1);
        for (;;) {
            const int c = ::accept(fd, nullptr, nullptr);
            char line[64];
            (void)!::read(c, line, sizeof line);
            (void)!::write(c, "shown\n", 6);
            ::close(c);
        }
    }
    char r = 0;
    ASSERT_EQ(::read(ready[0], &r, 1), 1);
    SingleInstance second;
    EXPECT_EQ(second.claimOrHandOver(paths, 500ms), Outcome::NoAnswer);
    EXPECT_TRUE(second.problem().contains(QStringLiteral("another user")))
        << second.problem().toStdString();
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
}
