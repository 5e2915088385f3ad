// One running instance: a later start hands over and ends, a crash leaves
// nothing that blocks the next start, and a silent instance is not mistaken
// for an answer.
#include "base/AppPaths.h"
#include "platform/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace tp;
using namespace std::chrono_literals;
using Outcome = SingleInstance::Outcome;

namespace {

struct SingleInstanceTest : ::testing::Test {
    QTemporaryDir runtime;
    AppPaths paths;

    void SetUp() override {
        RunPlace place;
        place.exeDir = "/opt/tintpick";
        place.xdgRuntimeDir = runtime.path().toStdString();
        paths = DecideAppPaths(place);
    }

    // A later start runs in a thread of its own, as it would in a process of
    // its own, while this thread serves the running instance's events.
    Outcome laterStart(std::chrono::milliseconds patience = 30s) {
        auto later = std::async(std::launch::async, [&] {
            SingleInstance second;
            return second.claimOrHandOver(paths, patience);
        });
        while (later.wait_for(0s) != std::future_status::ready)
            QTest::qWait(10);
        return later.get();
    }
};

} // namespace

TEST_F(SingleInstanceTest, ALaterStartBringsTheRunningOneForwardAndEnds) {
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary) << first.problem().toStdString();
    QSignalSpy forward(&first, &SingleInstance::activationRequested);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 1);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 2);
}

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

TEST_F(SingleInstanceTest, AnInstanceThatNeverAnswersIsNotTakenForOne) {
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary);
    // The running instance handles no events meanwhile: the request is
    // accepted by the system but never answered.
    SingleInstance second;
    EXPECT_EQ(second.claimOrHandOver(paths, 1s), Outcome::NoAnswer);
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

TEST_F(SingleInstanceTest, AnEndlessLineIsCutOff) {
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary);
    QLocalSocket peer;
    peer.connectToServer(QString::fromStdString(paths.instanceSocket));
    ASSERT_TRUE(peer.waitForConnected(2000));
    const QByteArray chunk(64 * 1024, 'x');
    for (int i = 0; i < 64 && peer.state() == QLocalSocket::ConnectedState; ++i) {
        peer.write(chunk);
        peer.flush();
        QTest::qWait(5);
    }
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return peer.state() == QLocalSocket::UnconnectedState; }, 5000));
}

TEST_F(SingleInstanceTest, APickMadeElsewhereGoesToTheRunningInstanceOrHoldsOffAStart) {
    {
        SingleInstance first;
        ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary);
        QSignalSpy delivered(&first, &SingleInstance::colourDelivered);
        auto pick = std::async(std::launch::async, [&] {
            SingleInstance picker;
            return picker.deliverColour(paths, QStringLiteral("993366"));
        });
        while (pick.wait_for(0s) != std::future_status::ready)
            QTest::qWait(10);
        EXPECT_EQ(pick.get(), SingleInstance::Delivery::Delivered);
        ASSERT_EQ(delivered.size(), 1);
        EXPECT_EQ(delivered[0][0].toString(), QStringLiteral("993366"));
    }
    // With none running, the picker writes the file itself; no instance may
    // start and read it meanwhile.
    SingleInstance picker;
    ASSERT_EQ(picker.deliverColour(paths, QStringLiteral("993366")),
              SingleInstance::Delivery::NoInstance);
    SingleInstance start;
    EXPECT_EQ(start.claimOrHandOver(paths, 300ms), Outcome::NoAnswer);
}
