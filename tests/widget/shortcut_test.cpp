// The pick shortcut: its dialog keeps only keys that work, and a press of
// the keys picks into the history and the clipboard.
#include "app/mainRGB.h"
#include "sampling/PickOverlay.h"
#include "support/TestServices.h"
#include "support/X11Keys.h"
#include "windows/Shortcut.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tp;
using test::KeyClick;

namespace {

const QString Key = QStringLiteral("pick/shortcut");

struct ShortcutDialog {
    explicit ShortcutDialog(test::TestServices& ts) : dialog(ts.services()) { dialog.show(); }
    template <class W> W* get(const char* name) {
        W* w = dialog.findChild<W*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void type(Qt::Key key, Qt::KeyboardModifiers mods) {
        get<QKeySequenceEdit>("edtShortcut")->clear();
        KeyClick(get<QKeySequenceEdit>("edtShortcut"), key, mods);
    }
    void click(const char* button) { get<QPushButton>(button)->click(); }
    QString state() { return get<QLabel>("lblState")->text(); }
    TfrmShortcut dialog;
};

} // namespace

TEST(ShortcutDialog, KeepsOnlyKeysThatWork) {
    test::TestServices ts;
    ts.shortcut.bind(TfrmShortcut::StoredKeys(&ts.settings));
    ASSERT_EQ(ts.shortcut.bound, QStringLiteral("Ctrl+Alt+C")) << "the default";
    ts.shortcut.taken << QStringLiteral("Ctrl+Alt+X");
    {
        ShortcutDialog d(ts);
        EXPECT_TRUE(ts.shortcut.paused) << "the keys must reach the edit";
        EXPECT_EQ(d.state(), QStringLiteral("Ctrl+Alt+C works"));

        // A letter alone would be taken from every program.
        d.type(Qt::Key_C, Qt::ShiftModifier);
        d.click("btnOK");
        EXPECT_TRUE(d.state().contains(QStringLiteral("Ctrl、Alt 或 Meta")))
            << d.state().toStdString();
        EXPECT_EQ(ts.shortcut.binds.size(), 1) << "nothing registered for them";

        // Held by another program: said, and the dialog stays for another try.
        d.type(Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
        d.click("btnOK");
        EXPECT_EQ(d.state(), QStringLiteral("Ctrl+Alt+X taken"));
        EXPECT_TRUE(d.dialog.isVisible());
        EXPECT_TRUE(ts.shortcut.paused);
        EXPECT_FALSE(ts.settings.values.contains(Key));

        d.type(Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
        d.click("btnOK");
        EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
        EXPECT_EQ(ts.shortcut.bound, QStringLiteral("Ctrl+Shift+F5"));
        EXPECT_FALSE(ts.shortcut.paused);
        EXPECT_EQ(ts.settings.values.value(Key), QStringLiteral("Ctrl+Shift+F5"));
    }
    {
        // A try that failed, then cancel: the keys from before work again.
        ShortcutDialog d(ts);
        d.type(Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
        d.click("btnOK");
        d.click("btnCancel");
        EXPECT_EQ(ts.shortcut.bound, QStringLiteral("Ctrl+Shift+F5"));
        EXPECT_FALSE(ts.shortcut.paused);
        EXPECT_EQ(ts.settings.values.value(Key), QStringLiteral("Ctrl+Shift+F5"));
    }
    {
        // Cleared: off, and it stays off instead of coming back as the default.
        ShortcutDialog d(ts);
        d.click("btnClear");
        d.click("btnOK");
        EXPECT_EQ(ts.shortcut.bound, QString());
        EXPECT_EQ(TfrmShortcut::StoredKeys(&ts.settings), QString());
    }
    {
        ShortcutDialog d(ts);
        d.click("btnDefault");
        d.click("btnOK");
        EXPECT_EQ(ts.shortcut.bound, QStringLiteral("Ctrl+Alt+C"));
        EXPECT_EQ(TfrmShortcut::StoredKeys(&ts.settings), QStringLiteral("Ctrl+Alt+C"));
    }
}

TEST(ShortcutDialog, ADesktopWithoutAWayInSaysWhy) {
    test::TestServices ts;
    ts.shortcut.unavailable = QStringLiteral("bind tintpick --pick in the desktop's settings");
    ShortcutDialog d(ts);
    EXPECT_EQ(d.state(), ts.shortcut.unavailable);
    EXPECT_FALSE(d.get<QKeySequenceEdit>("edtShortcut")->isEnabled());
    d.click("btnOK");
    EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ts.shortcut.binds.isEmpty());
}

TEST(ShortcutPick, PicksIntoTheHistoryAndCopiesInTheChosenFormat) {
    test::TestServices ts;
    ts.screen.desktop().fill(QColor(0x33, 0x66, 0x99));
    ts.settings.values[QStringLiteral("copy/format")] = QStringLiteral("rgb");
    TfrmMain w(ts.services());
    ts.shortcut.bind(QStringLiteral("Ctrl+Alt+C"));
    ts.shortcut.press();
    auto* overlay = w.findChild<TPickOverlay*>();
    ASSERT_TRUE(overlay) << "the shortcut opens the frozen desktop";
    QWidget* win = overlay->Windows().at(0);
    QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), QPointF(40, 30), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(win, &move);
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(40, 30), QPointF(40, 30), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(win, &click);
    EXPECT_EQ(ts.clipboard.text(), QStringLiteral("rgb(51, 102, 153)"));
    EXPECT_EQ(w.History().Slot(0), (TRGB{0x33, 0x66, 0x99}));
    QApplication::processEvents();

    // Esc: nothing picked, nothing copied.
    ts.clipboard.setText(QString());
    ts.shortcut.press();
    overlay = w.findChild<TPickOverlay*>();
    ASSERT_TRUE(overlay);
    KeyClick(overlay->Windows().at(0), Qt::Key_Escape);
    EXPECT_EQ(ts.clipboard.text(), QString());
    EXPECT_EQ(w.History().HistoryPos(), 1);
}
