// The pick shortcut on Windows: a system-wide hot key (RegisterHotKey) for
// this thread. Windows posts WM_HOTKEY to the thread's queue, where Qt's
// event loop hands it to native event filters before anything else. A hot
// key another program registered is refused with
// ERROR_HOTKEY_ALREADY_REGISTERED, and said in words.
#include "platform/GlobalShortcut.h"
#include "platform/ShortcutKeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace tp {

namespace {

// Any number from 0 to 0xBFFF names a hot key of the application.
constexpr int PickHotKeyId = 0x5450;

class WinGlobalShortcut final : public GlobalShortcut, public QAbstractNativeEventFilter {
public:
    WinGlobalShortcut() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~WinGlobalShortcut() override {
        unregister();
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    void bind(const QString& portableKeys) override {
        keys_ = portableKeys;
        unregister();
        state_ = paused_ ? checked() : registerKeys();
    }

    ShortcutState state() const override { return state_; }

    void setPaused(bool paused) override {
        if (paused == paused_) return;
        paused_ = paused;
        if (paused) return unregister();
        const ShortcutState before = state_;
        state_ = registerKeys();
        if (state_.kind != before.kind || state_.text != before.text) emit stateChanged();
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "windows_generic_MSG") return false;
        const MSG* m = static_cast<const MSG*>(message);
        if (m->message != WM_HOTKEY || m->wParam != static_cast<WPARAM>(PickHotKeyId) ||
            !registered_)
            return false;
        emit activated();
        return true;
    }

private:
    // As everywhere, and a key Windows has a virtual key for.
    ShortcutState checked() const {
        const ShortcutState valid = CheckedShortcut(keys_);
        if (valid.kind != ShortcutState::Kind::Active ||
            WindowsVirtualKey(ParseShortcut(keys_.toStdString())->key) != 0)
            return valid;
        return StateOf(ShortcutState::Kind::Failed, ShortcutOutcome::Invalid, keys_,
                       "Windows 没有这个键的热键。");
    }

    ShortcutState registerKeys() {
        const ShortcutState valid = checked();
        if (valid.kind != ShortcutState::Kind::Active) return valid;
        const std::optional<ShortcutKeys> keys = ParseShortcut(keys_.toStdString());
        // Held down, the keys would start one pick after another.
        const UINT mods = WindowsHotKeyModifiers(keys->modifiers) | MOD_NOREPEAT;
        if (RegisterHotKey(nullptr, PickHotKeyId, mods, WindowsVirtualKey(keys->key))) {
            registered_ = true;
            return valid;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_HOTKEY_ALREADY_REGISTERED)
            return StateOf(ShortcutState::Kind::Failed, ShortcutOutcome::Taken, keys_);
        return StateOf(ShortcutState::Kind::Failed, ShortcutOutcome::Refused, keys_,
                       "Windows 报告错误 " + std::to_string(error) + "。");
    }

    void unregister() {
        if (registered_) UnregisterHotKey(nullptr, PickHotKeyId);
        registered_ = false;
    }

    QString keys_;
    bool registered_ = false;
    bool paused_ = false;
    ShortcutState state_;
};

} // namespace

std::unique_ptr<GlobalShortcut> CreateGlobalShortcut() {
    return std::make_unique<WinGlobalShortcut>();
}

} // namespace tp
