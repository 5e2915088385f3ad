#pragma once
// Two starts of one install meeting, the later one in a thread of its own.
#include "base/AppPaths.h"
#include "platform/SingleInstance.h"

#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <gtest/gtest.h>

namespace tp::testing {

using namespace std::chrono_literals;
using Outcome = SingleInstance::Outcome;

struct SingleInstanceTest : ::testing::Test {
    QTemporaryDir runtime;
    AppPaths paths;

    void SetUp() override {
        RunPlace place;
        place.exeDir = "/opt/tintpick";
        // An install: the rendezvous in the runtime folder (Linux), or
        // beside the history in the user's application data (Windows).
        place.xdgRuntimeDir = runtime.path().toStdString();
        place.appData = runtime.path().toStdString();
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

} // namespace tp::testing
