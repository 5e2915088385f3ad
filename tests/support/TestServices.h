#pragma once
// A full set of fake platform services for widget tests.
#include "platform/Services.h"
#include "skin/SkinData.h"
#include "support/Fakes.h"

#include <QImage>
#include <QTemporaryDir>

namespace tp::test {

struct TestServices {
    FakeClipboard clipboard;
    FakeShell shell;
    FakeBeeper beeper;
    RecordingErrorReporter errors;
    FakeSettings settings;
    FakeScreenSource screen{blankDesktop()};
    FakeTrayHost tray;
    SkinData skin = SkinData::load();
    // A history file of this test's own, in a folder removed afterwards.
    QTemporaryDir scratch;

    Services services() {
        Services s;
        s.clipboard = &clipboard;
        s.shell = &shell;
        s.beeper = &beeper;
        s.errors = &errors;
        s.screen = &screen;
        s.tray = &tray;
        s.skin = &skin;
        s.settings = &settings;
        s.historyPath = historyPath();
        return s;
    }

    std::string historyPath() const {
        return scratch.filePath(QStringLiteral("HisColors.dat")).toStdString();
    }

    static QImage blankDesktop() {
        QImage img(640, 480, QImage::Format_RGB32);
        img.fill(Qt::white);
        return img;
    }
};

} // namespace tp::test
