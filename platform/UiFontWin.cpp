#include "platform/UiFont.h"

namespace tp {

// Every Simplified Chinese Windows since Vista has the first, older ones
// the second.
QStringList UiFontFamilies() {
    return {QStringLiteral("Microsoft YaHei UI"), QStringLiteral("SimSun")};
}

} // namespace tp
