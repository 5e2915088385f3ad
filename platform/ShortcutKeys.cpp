#include "platform/ShortcutKeys.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tp {

namespace {

struct NamedKey {
    const char* qt;   // Qt's portable name
    uint32_t keysym;  // X11
    const char* xkb;  // the portal's trigger text
    unsigned windows; // virtual-key code
    bool standsAlone; // usable without Ctrl, Alt or Meta
};

constexpr std::array<NamedKey, 18> NamedKeys{{
    {"Space", 0x20, "space", 0x20, false},
    {"Esc", 0xff1b, "Escape", 0x1b, false},
    {"Tab", 0xff09, "Tab", 0x09, false},
    {"Backspace", 0xff08, "BackSpace", 0x08, false},
    {"Return", 0xff0d, "Return", 0x0d, false},
    {"Enter", 0xff8d, "KP_Enter", 0x0d, false},
    {"Ins", 0xff63, "Insert", 0x2d, false},
    {"Del", 0xffff, "Delete", 0x2e, false},
    {"Pause", 0xff13, "Pause", 0x13, true},
    {"Print", 0xff61, "Print", 0x2c, true},
    {"Home", 0xff50, "Home", 0x24, false},
    {"End", 0xff57, "End", 0x23, false},
    {"Left", 0xff51, "Left", 0x25, false},
    {"Up", 0xff52, "Up", 0x26, false},
    {"Right", 0xff53, "Right", 0x27, false},
    {"Down", 0xff54, "Down", 0x28, false},
    {"PgUp", 0xff55, "Page_Up", 0x21, false},
    {"PgDown", 0xff56, "Page_Down", 0x22, false},
}};

// Punctuation of a US keyboard's unshifted keys, which is what a shortcut
// with them names on most layouts.
struct Punctuation {
    char c;
    const char* xkb;
    unsigned windows;
};
constexpr std::array<Punctuation, 11> PunctuationKeys{{
    {',', "comma", 0xbc},
    {'.', "period", 0xbe},
    {'/', "slash", 0xbf},
    {';', "semicolon", 0xba},
    {'\'', "apostrophe", 0xde},
    {'[', "bracketleft", 0xdb},
    {']', "bracketright", 0xdd},
    {'\\', "backslash", 0xdc},
    {'-', "minus", 0xbd},
    {'=', "equal", 0xbb},
    {'`', "grave", 0xc0},
}};

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const NamedKey* FindNamed(std::string_view key) {
    for (const NamedKey& k : NamedKeys)
        if (key == k.qt) return &k;
    return nullptr;
}

const Punctuation* FindPunctuation(std::string_view key) {
    if (key.size() != 1) return nullptr;
    for (const Punctuation& p : PunctuationKeys)
        if (key[0] == p.c) return &p;
    return nullptr;
}

// 1 to 35 for "F1" to "F35", else 0.
int FunctionKeyNumber(std::string_view key) {
    if (key.size() < 2 || key.size() > 3 || key[0] != 'F') return 0;
    int n = 0;
    for (char c : key.substr(1)) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 35 && key[1] != '0' ? n : 0;
}

bool IsLetterOrDigit(std::string_view key) {
    return key.size() == 1 &&
           ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9'));
}

// The key's name as the settings may spell it, in Qt's own spelling.
std::optional<std::string> CanonicalKey(std::string_view key) {
    if (key.size() == 1) {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') return std::string(1, static_cast<char>(c - 'a' + 'A'));
        if (IsLetterOrDigit(key) || FindPunctuation(key)) return std::string(key);
        return std::nullopt;
    }
    for (const NamedKey& k : NamedKeys)
        if (SameWord(key, k.qt)) return std::string(k.qt);
    if (key[0] == 'f' || key[0] == 'F') {
        std::string upper(key);
        upper[0] = 'F';
        if (FunctionKeyNumber(upper)) return upper;
    }
    return std::nullopt;
}

} // namespace

std::optional<ShortcutKeys> ParseShortcut(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    ShortcutKeys out;
    // "Ctrl++" names the plus key, which no layout reaches without Shift and
    // which has no place in the keys above: it is refused like any unknown key.
    for (;;) {
        const size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus + 1 == text.size()) break;
        const std::string_view word = text.substr(0, plus);
        unsigned m = 0;
        if (SameWord(word, "Ctrl") || SameWord(word, "Control"))
            m = ShortcutKeys::Ctrl;
        else if (SameWord(word, "Alt"))
            m = ShortcutKeys::Alt;
        else if (SameWord(word, "Shift"))
            m = ShortcutKeys::Shift;
        else if (SameWord(word, "Meta") || SameWord(word, "Super") || SameWord(word, "Win"))
            m = ShortcutKeys::Meta;
        else
            return std::nullopt;
        out.modifiers |= m;
        text.remove_prefix(plus + 1);
    }
    const std::optional<std::string> key = CanonicalKey(text);
    if (!key) return std::nullopt;
    out.key = *key;
    return out;
}

std::string ShortcutText(const ShortcutKeys& keys) {
    std::string s;
    if (keys.modifiers & ShortcutKeys::Meta) s += "Meta+";
    if (keys.modifiers & ShortcutKeys::Ctrl) s += "Ctrl+";
    if (keys.modifiers & ShortcutKeys::Alt) s += "Alt+";
    if (keys.modifiers & ShortcutKeys::Shift) s += "Shift+";
    return s + keys.key;
}

std::string ShortcutProblem(const ShortcutKeys& keys) {
    if (X11Keysym(keys.key) == 0) return "这个键不能用作全局快捷键。";
    constexpr unsigned strong = ShortcutKeys::Ctrl | ShortcutKeys::Alt | ShortcutKeys::Meta;
    const NamedKey* named = FindNamed(keys.key);
    const bool alone = FunctionKeyNumber(keys.key) || (named && named->standsAlone);
    if (!(keys.modifiers & strong) && !alone)
        return "快捷键要含 Ctrl、Alt 或 Meta（Win）键，否则在别的程序里就打不出这个键了"
               "（F1 到 F35、Print 和 Pause 可以单独用）。";
    return {};
}

uint32_t X11Keysym(std::string_view key) {
    if (const NamedKey* k = FindNamed(key)) return k->keysym;
    if (const int f = FunctionKeyNumber(key)) return 0xffbeu + static_cast<uint32_t>(f - 1);
    if (IsLetterOrDigit(key) || FindPunctuation(key)) {
        const char c = key[0];
        // Latin-1 keysyms are the characters themselves; a letter's key is
        // named by its lower-case keysym.
        return static_cast<uint32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return 0;
}

std::string PortalTrigger(const ShortcutKeys& keys) {
    std::string key;
    if (const NamedKey* k = FindNamed(keys.key))
        key = k->xkb;
    else if (const Punctuation* p = FindPunctuation(keys.key))
        key = p->xkb;
    else if (FunctionKeyNumber(keys.key))
        key = keys.key;
    else if (IsLetterOrDigit(keys.key))
        key = std::string(1, static_cast<char>(X11Keysym(keys.key)));
    else
        return {};
    std::string s;
    if (keys.modifiers & ShortcutKeys::Ctrl) s += "CTRL+";
    if (keys.modifiers & ShortcutKeys::Alt) s += "ALT+";
    if (keys.modifiers & ShortcutKeys::Shift) s += "SHIFT+";
    if (keys.modifiers & ShortcutKeys::Meta) s += "LOGO+";
    return s + key;
}

unsigned WindowsVirtualKey(std::string_view key) {
    if (const NamedKey* k = FindNamed(key)) return k->windows;
    if (const Punctuation* p = FindPunctuation(key)) return p->windows;
    // VK_F1 is 0x70; there are virtual keys up to F24 only.
    if (const int f = FunctionKeyNumber(key))
        return f <= 24 ? 0x70u + static_cast<unsigned>(f - 1) : 0;
    // Letters and digits are their upper-case characters.
    if (IsLetterOrDigit(key)) return static_cast<unsigned char>(key[0]);
    return 0;
}

unsigned WindowsHotKeyModifiers(unsigned modifiers) {
    // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8.
    unsigned m = 0;
    if (modifiers & ShortcutKeys::Alt) m |= 1;
    if (modifiers & ShortcutKeys::Ctrl) m |= 2;
    if (modifiers & ShortcutKeys::Shift) m |= 4;
    if (modifiers & ShortcutKeys::Meta) m |= 8;
    return m;
}

LockVariants X11LockVariants(uint16_t base, uint16_t numLockMask) {
    LockVariants v;
    const uint16_t locks[4] = {0, X11LockMask, numLockMask,
                               static_cast<uint16_t>(X11LockMask | numLockMask)};
    for (uint16_t lock : locks) {
        const auto mask = static_cast<uint16_t>(base | lock);
        if (std::find(v.masks, v.masks + v.count, mask) == v.masks + v.count)
            v.masks[v.count++] = mask;
    }
    return v;
}

ShortcutBackendChoice ChooseShortcutBackend(const ReaderEnvironment& env) {
    const bool wayland = env.platform == "wayland" || env.platform.starts_with("wayland-");
    if (wayland) return {ShortcutBackend::Portal, {}};
    if (env.platform == "offscreen" || env.platform == "minimal" || !env.hasScreens)
        return {ShortcutBackend::None, "没有桌面，无法注册全局快捷键。"};
    if (env.platform == "xcb") {
        // Under XWayland a grab on the X root sees keys only while an X11
        // window has the focus; the compositor alone sees the rest.
        if (!env.waylandDisplay.empty() || env.sessionType == "wayland")
            return {ShortcutBackend::Portal, {}};
        return {ShortcutBackend::X11Grab, {}};
    }
    return {ShortcutBackend::None, "这个桌面上程序无法注册全局快捷键。"};
}

std::string ShortcutMessage(ShortcutOutcome outcome, const std::string& keys,
                            const std::string& detail) {
    switch (outcome) {
    case ShortcutOutcome::Active:
        if (!detail.empty() && detail != keys)
            return "在任何地方按 " + detail + " 即可取色（桌面的快捷键设置里可以修改）。";
        return "在任何地方按 " + keys + " 即可取色。";
    case ShortcutOutcome::Pending:
        return "正在向桌面注册取色快捷键 " + keys + "……";
    case ShortcutOutcome::Off:
        return "没有设置取色快捷键。";
    case ShortcutOutcome::Taken:
        return keys + " 已被另一个程序占用，取色快捷键没有生效。请换一个快捷键。";
    case ShortcutOutcome::Refused:
        return "取色快捷键 " + keys + " 没有生效：" + detail;
    case ShortcutOutcome::Invalid:
        return keys + " 不能用作取色快捷键：" + detail;
    case ShortcutOutcome::NoPortal:
        return "这个桌面不让程序自己注册全局快捷键（它的 xdg-desktop-portal 没有 "
               "GlobalShortcuts，1.17 版起才有）。请在桌面的键盘设置里为“取色”"
               "（tintpick --pick）设一个快捷键。";
    case ShortcutOutcome::Unavailable:
        return detail.empty() ? "这里无法注册全局快捷键。" : detail;
    }
    return {};
}

} // namespace tp
