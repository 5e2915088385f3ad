// The tray icon's click timing: a click waits out the double-click time, a
// double click is never also a click, a long press clicks at its release.
#include "app/TrayClick.h"
#include "support/FakeTrayClock.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

constexpr int DoubleClickMs = 400;

struct TrayClickTest : ::testing::Test {
    FakeTrayClock clock;
    TrayClick machine{clock, DoubleClickMs};
    int clicks = 0;
    int doubleClicks = 0;

    void SetUp() override {
        machine.SetOnClick([this] { ++clicks; });
        machine.SetOnDoubleClick([this] { ++doubleClicks; });
    }
    void wait(int ms) { clock.advance(ms, machine); }
    // One press and release as the toolkit delivers them.
    void click(int heldMs = 50) {
        machine.leftDown();
        wait(heldMs);
        machine.leftUp();
    }
    // A double click as the toolkit delivers it: press, release, press,
    // double-click event, release.
    void doubleClick() {
        click();
        wait(80);
        machine.leftDown();
        machine.leftDoubleClick();
        wait(50);
        machine.leftUp();
    }
};

TEST_F(TrayClickTest, SingleClickIsReportedOnlyAfterTheDoubleClickTime) {
    click(50);
    EXPECT_EQ(clicks, 0) << "reported at the release, before a second press could come";
    wait(DoubleClickMs - 60);
    EXPECT_EQ(clicks, 0);
    wait(20);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 0);
    wait(5000);
    EXPECT_EQ(clicks, 1) << "the timer stops after running out";
    EXPECT_FALSE(clock.running());
}

TEST_F(TrayClickTest, DoubleClickIsReportedOnceAndNeverAlsoAsAClick) {
    doubleClick();
    EXPECT_EQ(doubleClicks, 1);
    wait(5000);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 0);

    // The next single click after it is an ordinary click again.
    click();
    wait(DoubleClickMs);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(TrayClickTest, DoubleClickAsTheShellReportsItWithoutASecondPress) {
    // Some hosts replace the second press by the double-click message.
    click();
    wait(80);
    machine.leftDoubleClick();
    wait(30);
    machine.leftUp();
    wait(DoubleClickMs);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(TrayClickTest, LongPressClicksAtTheRelease) {
    machine.leftDown();
    wait(DoubleClickMs + 200);
    EXPECT_EQ(clicks, 0) << "no click while the button is still held";
    machine.leftUp();
    EXPECT_EQ(clicks, 1) << "reported at the release, not later";
    wait(5000);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TrayClickTest, ReleaseWithoutPressAndSeparateClicksAreCountedRight) {
    machine.leftUp(); // a release whose press went elsewhere
    wait(DoubleClickMs * 2);
    EXPECT_EQ(clicks, 0);

    click();
    wait(DoubleClickMs);
    click();
    wait(DoubleClickMs);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(clock.starts, 2) << "each press starts the timer once";
}

TEST_F(TrayClickTest, TimerIntervalIsTheDoubleClickTimeReadAtCreation) {
    machine.leftDown();
    EXPECT_TRUE(machine.timerRunning());
    EXPECT_EQ(machine.interval(), DoubleClickMs);
    wait(DoubleClickMs - 1);
    EXPECT_TRUE(machine.timerRunning());
    wait(1);
    EXPECT_FALSE(machine.timerRunning());
}

} // namespace
} // namespace tp
