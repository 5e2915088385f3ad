// Built without the xcb headers: an X11 session has no key grab to offer,
// its screen is read through Qt's grab, and whether an X server answers
// cannot be asked.
#include "platform/DesktopShortcuts.h"
#include "platform/NativeParts.h"

namespace tp {

std::unique_ptr<GlobalShortcut> CreateX11GlobalShortcut() {
    return std::make_unique<NoGlobalShortcut>(
        QStringLiteral("这个 Tintpick 构建时没有 xcb，在 X11 上无法注册取色快捷键。"));
}

std::unique_ptr<ScreenSource> CreateX11Reader() {
    return nullptr;
}

bool X11ServerAnswers(const char*) {
    return false;
}

} // namespace tp
