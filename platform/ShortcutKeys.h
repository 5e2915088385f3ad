#pragma once
// The pick shortcut as keys: read from the text the settings keep
// ("Ctrl+Alt+C", as Qt writes a key sequence in portable form), checked for
// use across the whole desktop, and spelt the way each desktop's mechanism
// wants it (an X keysym, the portal's trigger text, a Windows virtual key).
// Display-free, so that every spelling is checked without a desktop.
#include "platform/ReaderChoice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tp {

// The settings key of the pick shortcut and its value before the user
// chooses one. "none" is kept for a shortcut the user switched off, so that
// it does not come back as the default.
inline constexpr const char* PickShortcutKey = "pick/shortcut";
inline constexpr const char* DefaultPickShortcut = "Ctrl+Alt+C";
inline constexpr const char* NoPickShortcut = "none";

struct ShortcutKeys {
    enum Modifier : unsigned { Shift = 1, Ctrl = 2, Alt = 4, Meta = 8 };
    unsigned modifiers = 0;
    // The key itself as Qt's portable text names it: "C", "F5", "PgUp", ",".
    std::string key;
    bool operator==(const ShortcutKeys&) const = default;
};

// nullopt for text that does not name one key with its modifiers.
std::optional<ShortcutKeys> ParseShortcut(std::string_view portableText);
// Back to the portable text, modifiers in Qt's order.
std::string ShortcutText(const ShortcutKeys& keys);

// Why these keys cannot serve as a shortcut for the whole desktop (UTF-8),
// or empty. A plain letter taken from every program would stop the user
// typing it, so a key needs Ctrl, Alt or Meta, except the function keys and
// the few others no program types with.
std::string ShortcutProblem(const ShortcutKeys& keys);

// The X keysym of the key (lower case for a letter), 0 for one it does not know.
uint32_t X11Keysym(std::string_view key);
// The trigger text of the desktop portal's GlobalShortcuts ("CTRL+ALT+c",
// modifiers and an xkb key name); empty for a key without an xkb name here.
std::string PortalTrigger(const ShortcutKeys& keys);
// The Windows virtual-key code of the key, 0 for one it does not know, and
// RegisterHotKey's modifier flags (without MOD_NOREPEAT).
unsigned WindowsVirtualKey(std::string_view key);
unsigned WindowsHotKeyModifiers(unsigned modifiers);

// The X modifier masks an X server may add to the keys the user presses
// (Caps Lock and whichever modifier holds Num Lock): a passive grab names the
// whole state, so each combination is grabbed too. `numLockMask` 0 leaves
// Num Lock out.
inline constexpr uint16_t X11LockMask = 2;
// Four masks at most, each `base` with a combination of the locks; `count`
// says how many are used.
struct LockVariants {
    uint16_t masks[4] = {};
    int count = 0;
};
LockVariants X11LockVariants(uint16_t base, uint16_t numLockMask);

// How the running program can take a key press from anywhere on the desktop,
// decided from the same facts as the screen reader.
enum class ShortcutBackend {
    X11Grab, // a passive grab of the key on the root window
    Portal,  // the desktop portal's GlobalShortcuts, where it has them
    None,    // nothing can take it; `reason` says why
};
struct ShortcutBackendChoice {
    ShortcutBackend backend = ShortcutBackend::None;
    std::string reason; // UTF-8, for ShortcutBackend::None
};
ShortcutBackendChoice ChooseShortcutBackend(const ReaderEnvironment& env);

// What the user is told about the shortcut (UTF-8). `keys` is the shortcut
// as the user reads it, `detail` the desktop's or the system's own words.
enum class ShortcutOutcome {
    Active,      // registered; `detail` is the trigger the desktop reports, if any
    Pending,     // asked for, the desktop has not answered yet
    Off,         // the user switched it off
    Taken,       // another program holds these keys
    Refused,     // the desktop or the system said no; `detail` is why
    Invalid,     // the keys cannot serve; `detail` is ShortcutProblem's text
    NoPortal,    // a Wayland desktop whose portal has no GlobalShortcuts
    Unavailable, // nothing here can take a key from the desktop; `detail` is why
};
std::string ShortcutMessage(ShortcutOutcome outcome, const std::string& keys,
                            const std::string& detail = {});

} // namespace tp
