#pragma once
// A full set of fake platform services for widget tests.
#include "platform/Services.h"
#include "skin/SkinData.h"
#include "support/Fakes.h"

#include <QDialog>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

namespace tp::test {

struct TestServices {
    FakeClipboard clipboard;
    FakeShell shell;
    FakeBeeper beeper;
    RecordingErrorReporter errors;
    FakeSettings settings;
    FakeScreenSource screen{blankDesktop()};
    FakeTrayHost tray;
    FakeGlobalShortcut shortcut;
    SkinData skin = SkinData::load();
    // A history file of this test's own, in a folder removed afterwards.
    QTemporaryDir scratch;
    // Drives the modal windows in place of their own loops while set; the
    // windows ask it at each showing, so a test may set it at any time.
    std::function<int(QDialog&)> runModal;
    // The message box the library's windows ask in; null: the main window's.
    TbsSkinMessage* messageBox = nullptr;

    Services services() {
        Services s = ServicesOf(*this);
        s.historyPath = historyPath();
        s.messageBox = messageBox;
        s.runModal = [this](QDialog& d) { return runModal ? runModal(d) : d.exec(); };
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
