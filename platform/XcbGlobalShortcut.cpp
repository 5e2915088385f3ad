// The pick shortcut on X11: a passive grab of the key on the root window, on
// Qt's own connection, so that the press reaches this program whichever
// window has the focus. The X server names a grab by the whole modifier
// state, so the same key is grabbed again with Caps Lock and Num Lock on;
// a grab another program holds already is refused by the server (BadAccess)
// and said in words.
#include "platform/DesktopShortcuts.h"
#include "platform/GlobalShortcut.h"
#include "platform/ShortcutKeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tp {

namespace {

constexpr xcb_keysym_t NumLockSym = 0xff7f;
constexpr xcb_keysym_t AltSyms[] = {0xffe9, 0xffea};                  // Alt_L, Alt_R
constexpr xcb_keysym_t MetaSyms[] = {0xffeb, 0xffec, 0xffe7, 0xffe8}; // Super_L/R, Meta_L/R
constexpr uint8_t BadAccess = 10;

// The keyboard's keysyms per keycode, as the server maps them now.
class KeyboardMap {
public:
    explicit KeyboardMap(xcb_connection_t* c) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        min_ = setup->min_keycode;
        const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        xcb_get_keyboard_mapping_reply_t* r = xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, count), nullptr);
        if (!r) return;
        per_ = r->keysyms_per_keycode;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r);
        syms_.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(r));
        std::free(r);
    }

    // Keycodes that give the keysym without or with Shift (the two levels a
    // shortcut's key is named by).
    std::vector<xcb_keycode_t> codesOf(xcb_keysym_t sym) const {
        std::vector<xcb_keycode_t> out;
        for (size_t i = 0; per_ && i < syms_.size() / per_; ++i)
            if (gives(i, sym, std::min<size_t>(per_, 2)))
                out.push_back(static_cast<xcb_keycode_t>(min_ + i));
        return out;
    }

    bool codeGives(xcb_keycode_t code, xcb_keysym_t sym) const {
        return code >= min_ && gives(static_cast<size_t>(code - min_), sym, per_);
    }

private:
    bool gives(size_t index, xcb_keysym_t sym, size_t levels) const {
        for (size_t l = 0; l < levels && index * per_ + l < syms_.size(); ++l)
            if (syms_[index * per_ + l] == sym) return true;
        return false;
    }

    xcb_keycode_t min_ = 8;
    size_t per_ = 0;
    std::vector<xcb_keysym_t> syms_;
};

// Which of Mod1 to Mod5 hold Alt, Meta (the Super key) and Num Lock here.
struct ModifierMasks {
    uint16_t alt = uint16_t{XCB_MOD_MASK_1};
    uint16_t meta = uint16_t{XCB_MOD_MASK_4};
    uint16_t numLock = 0;
};

ModifierMasks ReadModifierMasks(xcb_connection_t* c, const KeyboardMap& map) {
    ModifierMasks m;
    xcb_get_modifier_mapping_reply_t* r =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!r) return m;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(r);
    const int per = r->keycodes_per_modifier;
    uint16_t alt = 0, meta = 0;
    // Shift, Lock and Control are fixed; the rest are found by their keys.
    for (int mod = 3; mod < 8; ++mod) {
        const auto bit = static_cast<uint16_t>(1u << mod);
        for (int k = 0; k < per; ++k) {
            const xcb_keycode_t code = codes[mod * per + k];
            if (!code) continue;
            if (map.codeGives(code, NumLockSym)) m.numLock |= bit;
            for (xcb_keysym_t s : AltSyms)
                if (map.codeGives(code, s)) alt |= bit;
            for (xcb_keysym_t s : MetaSyms)
                if (map.codeGives(code, s) && !(alt & bit)) meta |= bit;
        }
    }
    std::free(r);
    if (alt) m.alt = alt;
    if (meta) m.meta = meta;
    return m;
}

class XcbGlobalShortcut final : public GlobalShortcut, public QAbstractNativeEventFilter {
public:
    XcbGlobalShortcut(xcb_connection_t* c, xcb_window_t root) : c_(c), root_(root) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~XcbGlobalShortcut() override {
        ungrab();
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    void bind(const QString& portableKeys) override {
        keys_ = portableKeys;
        ungrab();
        state_ = paused_ ? CheckedShortcut(keys_) : grab();
    }

    ShortcutState state() const override { return state_; }

    void setPaused(bool paused) override {
        if (paused == paused_) return;
        paused_ = paused;
        if (paused) return ungrab();
        // Another program may have taken the keys meanwhile.
        const ShortcutState before = state_;
        state_ = grab();
        if (state_.kind != before.kind || state_.text != before.text) emit stateChanged();
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        auto* e = static_cast<xcb_generic_event_t*>(message);
        const uint8_t kind = e->response_type & 0x7f;
        if (kind == XCB_KEY_PRESS) {
            auto* k = static_cast<xcb_key_press_event_t*>(message);
            if (k->event != root_ || !isGrabbed(k->detail, k->state)) return false;
            emit activated();
            return true;
        }
        if (kind == XCB_MAPPING_NOTIFY) {
            // Another layout moves the key to another keycode: grab anew.
            auto* m = static_cast<xcb_mapping_notify_event_t*>(message);
            if (m->request != XCB_MAPPING_POINTER && !grabs_.empty()) {
                bind(keys_);
                emit stateChanged();
            }
        }
        return false;
    }

private:
    struct Grab {
        xcb_keycode_t code;
        uint16_t mods;
    };

    bool isGrabbed(xcb_keycode_t code, uint16_t state) const {
        // The pointer buttons held meanwhile are in the state too.
        const auto mods = static_cast<uint16_t>(state & 0xff);
        return std::any_of(grabs_.begin(), grabs_.end(),
                           [&](const Grab& g) { return g.code == code && g.mods == mods; });
    }

    ShortcutState failed(ShortcutOutcome o, const std::string& detail = {}) const {
        return StateOf(ShortcutState::Kind::Failed, o, keys_, detail);
    }

    ShortcutState grab() {
        const ShortcutState valid = CheckedShortcut(keys_);
        if (valid.kind != ShortcutState::Kind::Active) return valid;
        const std::optional<ShortcutKeys> keys = ParseShortcut(keys_.toStdString());
        const KeyboardMap map(c_);
        const std::vector<xcb_keycode_t> codes = map.codesOf(X11Keysym(keys->key));
        if (codes.empty()) return failed(ShortcutOutcome::Invalid, "这个键盘上没有这个键。");
        const ModifierMasks masks = ReadModifierMasks(c_, map);
        uint16_t base = 0;
        if (keys->modifiers & ShortcutKeys::Shift) base |= uint16_t{XCB_MOD_MASK_SHIFT};
        if (keys->modifiers & ShortcutKeys::Ctrl) base |= uint16_t{XCB_MOD_MASK_CONTROL};
        if (keys->modifiers & ShortcutKeys::Alt) base |= masks.alt;
        if (keys->modifiers & ShortcutKeys::Meta) base |= masks.meta;
        const LockVariants variants = X11LockVariants(base, masks.numLock);

        // All requests first, then the answers: one round trip, not one a grab.
        std::vector<std::pair<Grab, xcb_void_cookie_t>> sent;
        for (xcb_keycode_t code : codes)
            for (int i = 0; i < variants.count; ++i)
                sent.push_back({{code, variants.masks[i]},
                                xcb_grab_key_checked(c_, 0, root_, variants.masks[i], code,
                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
        bool taken = false;
        int otherError = 0;
        for (auto& [g, cookie] : sent) {
            if (xcb_generic_error_t* err = xcb_request_check(c_, cookie)) {
                if (err->error_code == BadAccess)
                    taken = true;
                else
                    otherError = err->error_code;
                std::free(err);
            } else {
                grabs_.push_back(g);
            }
        }
        if (taken || otherError) {
            // Half a shortcut (without Num Lock, say) would work one moment
            // and not the next: all or nothing.
            ungrab();
            if (taken) return failed(ShortcutOutcome::Taken);
            return failed(ShortcutOutcome::Refused,
                          "X 服务器报告错误 " + std::to_string(otherError) + "。");
        }
        return valid;
    }

    void ungrab() {
        for (const Grab& g : grabs_)
            xcb_ungrab_key(c_, g.code, root_, g.mods);
        if (!grabs_.empty()) xcb_flush(c_);
        grabs_.clear();
    }

    xcb_connection_t* c_;
    xcb_window_t root_;
    QString keys_;
    std::vector<Grab> grabs_;
    bool paused_ = false;
    ShortcutState state_;
};

} // namespace

std::unique_ptr<GlobalShortcut> CreateX11GlobalShortcut() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c))
        return std::make_unique<NoGlobalShortcut>(
            QStringLiteral("无法连接 X 服务器，取色快捷键无法注册。"));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    return std::make_unique<XcbGlobalShortcut>(c, screen->root);
}

} // namespace tp
