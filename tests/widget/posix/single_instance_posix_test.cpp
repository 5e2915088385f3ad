// One running instance on POSIX systems: a socket file left by a crash does
// not block the next start, and the fallback rendezvous folder is private.
#include "widget/single_instance_fixture.h"

#include <QFile>
#include <QSignalSpy>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

TEST_F(SingleInstanceTest, WithoutARuntimeFolderAPrivateOneIsUsed) {
    RunPlace place;
    place.exeDir = "/opt/tintpick";
    place.tmpDir = runtime.path().toStdString();
    place.uid = static_cast<unsigned>(::getuid());
    AppPaths fallback = DecideAppPaths(place);
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(fallback), Outcome::Primary) << first.problem().toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(fallback.runtimeDir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);

    // A folder of that name that others may enter is not used.
    SingleInstance other;
    place.uid += 1;
    fallback = DecideAppPaths(place);
    ASSERT_EQ(::mkdir(fallback.runtimeDir.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(fallback.runtimeDir.c_str(), 0777), 0);
    EXPECT_EQ(other.claimOrHandOver(fallback), Outcome::Alone);
    EXPECT_FALSE(other.problem().isEmpty());
}

