// Linux and other X11/Wayland systems: the root window over XCB, or the
// desktop portal's screenshot.
#include "platform/NativeParts.h"
#include "platform/PortalScreenSource.h"

namespace tp {

std::unique_ptr<ScreenSource> CreateNativeReader(const ReaderChoice& choice) {
    switch (choice.reader) {
    case ScreenReader::Portal:
        return std::make_unique<PortalScreenSource>(choice.overlayPick);
    case ScreenReader::X11:
        return CreateX11Reader();
    case ScreenReader::Gdi:
    case ScreenReader::QtGrab:
    case ScreenReader::None:
        break;
    }
    return nullptr;
}

} // namespace tp
