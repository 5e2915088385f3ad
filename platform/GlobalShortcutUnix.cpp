#include "platform/DesktopShortcuts.h"
#include "platform/QtScreenSource.h"
#include "platform/ShortcutKeys.h"

namespace tp {

std::unique_ptr<GlobalShortcut> CreateGlobalShortcut() {
    const ShortcutBackendChoice choice = ChooseShortcutBackend(CurrentReaderEnvironment());
    switch (choice.backend) {
    case ShortcutBackend::X11Grab:
        return CreateX11GlobalShortcut();
    case ShortcutBackend::Portal:
        return CreatePortalGlobalShortcut();
    case ShortcutBackend::None:
        break;
    }
    return std::make_unique<NoGlobalShortcut>(QString::fromStdString(choice.reason));
}

} // namespace tp
