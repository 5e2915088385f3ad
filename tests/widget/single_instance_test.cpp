// One running instance: a later start hands over and ends, a silent
// instance is not mistaken for an answer, and one killed leaves no lock.
#include "widget/single_instance_fixture.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>

#include <cstdio>

using namespace tp;
using namespace tp::testing;

TEST_F(SingleInstanceTest, ALaterStartBringsTheRunningOneForwardAndEnds) {
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary) << first.problem().toStdString();
    QSignalSpy forward(&first, &SingleInstance::activationRequested);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 1);
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    EXPECT_EQ(forward.size(), 2);
}

TEST_F(SingleInstanceTest, AnInstanceThatNeverAnswersIsNotTakenForOne) {
    SingleInstance first;
    ASSERT_EQ(first.claimOrHandOver(paths), Outcome::Primary);
    // The running instance handles no events meanwhile: the request is
    // accepted by the system but never answered.
    SingleInstance second;
    EXPECT_EQ(second.claimOrHandOver(paths, 1s), Outcome::NoAnswer);
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

TEST_F(SingleInstanceTest, AnInstanceKilledHoldingTheLockDoesNotBlockTheNextStart) {
    constexpr char HoldIn[] = "TINTPICK_TEST_HOLD_INSTANCE_IN";
    if (qEnvironmentVariableIsSet(HoldIn)) {
        // The instance to be killed: it runs until it is.
        RunPlace place;
        place.exeDir = "/opt/tintpick";
        place.xdgRuntimeDir = place.appData = qEnvironmentVariable(HoldIn).toStdString();
        SingleInstance held;
        ASSERT_EQ(held.claimOrHandOver(DecideAppPaths(place)), Outcome::Primary);
        std::fputs("[instance held]", stdout);
        std::fflush(stdout);
        for (;;)
            QTest::qWait(100);
    }
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(HoldIn), runtime.path());
    other.setProcessEnvironment(env);
    other.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=SingleInstanceTest.AnInstanceKilled*")});
    ASSERT_TRUE(other.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("[instance held]") && other.waitForReadyRead(30000))
        out += other.readAllStandardOutput();
    ASSERT_TRUE(out.contains("[instance held]")) << out.toStdString();
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
    other.kill(); // no chance to let go of anything
    ASSERT_TRUE(other.waitForFinished(10000));
    SingleInstance next;
    EXPECT_EQ(next.claimOrHandOver(paths, 5s), Outcome::Primary) << next.problem().toStdString();
    EXPECT_EQ(laterStart(), Outcome::HandedOver);
}
