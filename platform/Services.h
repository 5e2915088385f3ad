#pragma once
#include <string>

// The operating-system services and the skin a window needs, handed to it when it is
// built, so that tests can hand it fakes instead.
namespace tp {

class Beeper;
class Clipboard;
class ErrorReporter;
class ScreenSource;
class Settings;
class Shell;
class TrayHost;
struct SkinData;

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
    // Where the history file lives, as base/AppPaths decided. Tests point it
    // into a scratch folder so that runs do not share it.
    std::string historyPath;
    // The reference page shown by the colour reference panel.
    std::string referencePage;
};

} // namespace tp
