#pragma once
#include <functional>
#include <memory>
#include <string>

class QDialog;

// The operating-system services and the skin a window needs, handed to it when it is
// built, so that tests can hand it fakes instead.
namespace tp {

class Beeper;
class Clipboard;
class ErrorReporter;
class GlobalShortcut;
class ScreenSource;
class Settings;
class Shell;
class TrayHost;
struct SkinData;
class TbsSkinMessage;

struct Services {
    Clipboard* clipboard = nullptr;
    Shell* shell = nullptr;
    Beeper* beeper = nullptr;
    ErrorReporter* errors = nullptr;
    ScreenSource* screen = nullptr;
    // Null: take the tray as present.
    const TrayHost* tray = nullptr;
    const SkinData* skin = nullptr;
    // The user's lasting choices; null keeps every choice for this run only.
    Settings* settings = nullptr;
    // The pick shortcut that works from anywhere on the desktop; null: none.
    GlobalShortcut* shortcut = nullptr;
    // Where the history file lives, as base/AppPaths decided. Tests point it
    // into a scratch folder so that runs do not share it.
    std::string historyPath;
    // The reference page shown by the colour reference panel.
    std::string referencePage;
    // The skinned message box the library's windows ask their questions in;
    // null: the main window's own. Tests put a recorder here.
    TbsSkinMessage* messageBox = nullptr;
    // Runs a modal window and returns its modal result; null: the window's
    // own modal loop. Tests drive the window here, without a nested loop.
    std::function<int(QDialog&)> runModal;
};

namespace services_detail {
template <class T> T* AddressOf(T& object) {
    return &object;
}
template <class T> T* AddressOf(std::unique_ptr<T>& owned) {
    return owned.get();
}
} // namespace services_detail

// A Services pointing at the objects a set holds under the seams' names
// (clipboard, shell, beeper, errors, screen, tray, skin, settings, shortcut), each an
// object or a unique_ptr to one: the program's real services, the tests'
// fakes. A seam the set has no member for stays null.
template <class Set> Services ServicesOf(Set& set) {
    using services_detail::AddressOf;
    Services s;
    if constexpr (requires { set.clipboard; }) s.clipboard = AddressOf(set.clipboard);
    if constexpr (requires { set.shell; }) s.shell = AddressOf(set.shell);
    if constexpr (requires { set.beeper; }) s.beeper = AddressOf(set.beeper);
    if constexpr (requires { set.errors; }) s.errors = AddressOf(set.errors);
    if constexpr (requires { set.screen; }) s.screen = AddressOf(set.screen);
    if constexpr (requires { set.tray; }) s.tray = AddressOf(set.tray);
    if constexpr (requires { set.skin; }) s.skin = AddressOf(set.skin);
    if constexpr (requires { set.settings; }) s.settings = AddressOf(set.settings);
    if constexpr (requires { set.shortcut; }) s.shortcut = AddressOf(set.shortcut);
    return s;
}

} // namespace tp
