#pragma once
// Which screen reader the program uses, decided once at start-up from the
// platform Qt runs on and the session around it. Display-free, so that the
// rules can be checked without a desktop of each kind.
#include <string>

namespace tp {

enum class ScreenReader {
    X11,    // the root window of a plain X11 display, read live
    Portal, // the desktop portal's screenshot, a frozen frame
    Gdi,    // the Windows screen through GDI, read live
    QtGrab, // Qt's own grab, on other platforms that allow it
    None,   // nothing can be read; `reason` says why
};

struct ReaderEnvironment {
    std::string platform;       // QGuiApplication::platformName()
    std::string waylandDisplay; // $WAYLAND_DISPLAY
    std::string sessionType;    // $XDG_SESSION_TYPE
    bool hasScreens = true;
};

struct ReaderChoice {
    ScreenReader reader = ScreenReader::None;
    // Pick on a full-screen overlay of the frozen frame instead of dragging
    // from the swatch: a native Wayland client learns neither the pointer's
    // position outside its own surfaces nor can it grab the pointer.
    bool overlayPick = false;
    std::string reason; // UTF-8, for ScreenReader::None
};

ReaderChoice ChooseScreenReader(const ReaderEnvironment& env);

} // namespace tp
