// Windows: the screen through GDI.
#include "platform/GdiScreenSource.h"
#include "platform/NativeParts.h"

namespace tp {

std::unique_ptr<ScreenSource> CreateNativeReader(const ReaderChoice& choice) {
    if (choice.reader == ScreenReader::Gdi) return GdiScreenSource::create();
    return nullptr;
}

} // namespace tp
