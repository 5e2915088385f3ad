// Built without the xcb headers: an X11 session has no key grab to offer.
#include "platform/DesktopShortcuts.h"

namespace tp {

std::unique_ptr<GlobalShortcut> CreateX11GlobalShortcut() {
    return std::make_unique<NoGlobalShortcut>(
        QStringLiteral("这个 Tintpick 构建时没有 xcb，在 X11 上无法注册取色快捷键。"));
}

} // namespace tp
