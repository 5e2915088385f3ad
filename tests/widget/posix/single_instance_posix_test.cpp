// One running instance on POSIX systems: a socket file left by a crash does
// not block the next start, and without a runtime folder no other user can
// take the meeting place.
#include "widget/single_instance_fixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

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
