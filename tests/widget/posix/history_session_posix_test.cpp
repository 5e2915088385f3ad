// Ending the program from outside keeps the history: signals reach the
// event loop through the self-pipe, and the session's end saves.
#include "history/HistorySession.h"
#include "platform/QtScreenSource.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace tp;

TEST(HistorySession, TerminateSignalsArriveInTheEventLoopNotInTheHandler) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        int terminated = 0, ended = 0;
        {
            HistorySession session([&] { ++terminated; }, [&] { ++ended; });
            ASSERT_EQ(::raise(sig), 0);
            // Nothing runs inside the handler itself.
            EXPECT_EQ(terminated, 0);
            QElapsedTimer t;
            t.start();
            while (terminated == 0 && t.elapsed() < 2000)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            EXPECT_EQ(terminated, 1) << sig;
            EXPECT_EQ(ended, 0);
        }
        // The previous disposition is back once the session object is gone.
        struct sigaction now {};
        ::sigaction(sig, nullptr, &now);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
    }
}

TEST(ScreenReaders, OffscreenDesktopGetsTheNullReaderWithAReason) {
    auto screen = CreateScreenSource();
    EXPECT_FALSE(screen->unavailableReason().isEmpty());
    EXPECT_FALSE(screen->pixel(QPoint(0, 0)).has_value());
    EXPECT_FALSE(screen->covers(QPoint(0, 0)));
}
