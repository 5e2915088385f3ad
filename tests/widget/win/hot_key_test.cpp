// The pick shortcut on Windows: the hot key is the program's until another
// registration of the same keys, which is refused in words, and WM_HOTKEY
// reaches it through Qt's event loop.
#include "platform/GlobalShortcut.h"

#include <QSignalSpy>
#include <QTest>

#include <windows.h>

#include <gtest/gtest.h>

using Kind = tp::ShortcutState::Kind;

TEST(WindowsHotKey, HeldKeysAreSaidAndAPressReachesTheProgram) {
    auto first = tp::CreateGlobalShortcut();
    first->bind(QStringLiteral("Ctrl+Alt+C"));
    ASSERT_EQ(first->state().kind, Kind::Active) << first->state().text.toStdString();
    auto second = tp::CreateGlobalShortcut();
    second->bind(QStringLiteral("Ctrl+Alt+C"));
    EXPECT_EQ(second->state().kind, Kind::Failed);
    EXPECT_TRUE(second->state().text.contains(QStringLiteral("已被另一个程序占用")));

    // What Windows posts when the keys are pressed anywhere.
    QSignalSpy pressed(first.get(), &tp::GlobalShortcut::activated);
    PostThreadMessageW(GetCurrentThreadId(), WM_HOTKEY, 0x5450, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pressed.count() == 1; }, 2000));

    // Paused, the keys are free for another program, and come back after.
    first->setPaused(true);
    second->bind(QStringLiteral("Ctrl+Alt+C"));
    EXPECT_EQ(second->state().kind, Kind::Active);
    second->bind(QString());
    first->setPaused(false);
    EXPECT_EQ(first->state().kind, Kind::Active);
}
