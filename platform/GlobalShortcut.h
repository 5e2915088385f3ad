#pragma once
// A key that reaches the running program from anywhere on the desktop, even
// while none of its windows has the focus: the pick shortcut. Each desktop
// has its own way (a key grab on the X11 root, the Wayland portal's
// GlobalShortcuts, RegisterHotKey on Windows); CMake builds the ones of the
// system and CreateGlobalShortcut picks among them at run time. Where none
// works the state says why, in words the user reads.
#include "platform/ShortcutKeys.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>

namespace tp {

struct ShortcutState {
    enum class Kind {
        Off,         // nothing registered, as asked
        Pending,     // asked for; the desktop answers later
        Active,      // the keys reach the program
        Failed,      // these keys did not take (held elsewhere, refused, unusable)
        Unavailable, // this desktop lets no program register keys
    };
    Kind kind = Kind::Off;
    // The sentence for the user: what works, or what failed and what to do.
    QString text;
};

class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    // Registers `portableKeys` ("Ctrl+Alt+C", as the settings keep it) in
    // place of what was registered before; empty text registers nothing. The
    // state is known when it returns, or later with stateChanged.
    virtual void bind(const QString& portableKeys) = 0;
    virtual ShortcutState state() const = 0;
    // While paused the keys go to the focused window as if nothing held
    // them, so that they can be typed into the settings dialog; where the
    // desktop holds them itself (the portal) they are only ignored.
    virtual void setPaused(bool paused) = 0;

signals:
    // The keys were pressed.
    void activated();
    // The state changed after bind() returned: a desktop's late answer, keys
    // the desktop took back, a keyboard mapped anew.
    void stateChanged();
};

// The keys as the user reads them ("Ctrl+Alt+C"), from the portable text.
QString ShownShortcut(const QString& portableKeys);
// The state with the sentence ShortcutMessage makes for these keys.
ShortcutState StateOf(ShortcutState::Kind kind, ShortcutOutcome outcome,
                      const QString& portableKeys, const std::string& detail = {});
// What the keys give before any desktop is asked: Off for none, Failed for
// keys that cannot serve (Invalid, with why), else Active.
ShortcutState CheckedShortcut(const QString& portableKeys);

// Where nothing can take a key from the desktop: says why, whatever is bound.
class NoGlobalShortcut final : public GlobalShortcut {
public:
    explicit NoGlobalShortcut(QString reason) : reason_(std::move(reason)) {}
    void bind(const QString&) override {}
    ShortcutState state() const override { return {ShortcutState::Kind::Unavailable, reason_}; }
    void setPaused(bool) override {}

private:
    QString reason_;
};

// The way in that this system and session offer.
std::unique_ptr<GlobalShortcut> CreateGlobalShortcut();

} // namespace tp
