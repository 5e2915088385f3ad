#include "platform/ReaderChoice.h"

namespace tp {

ReaderChoice ChooseScreenReader(const ReaderEnvironment& env) {
    const bool wayland = env.platform == "wayland" || env.platform.starts_with("wayland-");
    if (wayland) return {ScreenReader::Portal, true, {}};
    if (env.platform == "offscreen" || env.platform == "minimal" || !env.hasScreens)
        return {ScreenReader::None, false, "没有可读取的显示器，无法取色。"};
    if (env.platform == "windows") return {ScreenReader::Gdi, false, {}};
    if (env.platform == "xcb") {
        // An X11 client of a Wayland desktop (XWayland) sees only the other
        // X11 clients on the root window; the desktop itself and every native
        // window read as black. Only the compositor's portal sees them all.
        if (!env.waylandDisplay.empty() || env.sessionType == "wayland")
            return {ScreenReader::Portal, false, {}};
        return {ScreenReader::X11, false, {}};
    }
    return {ScreenReader::QtGrab, false, {}};
}

} // namespace tp
