// One running instance: a later start hands over and ends, and a silent
// instance is not mistaken for an answer.
#include "widget/single_instance_fixture.h"

#include <QLocalSocket>
#include <QSignalSpy>

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
