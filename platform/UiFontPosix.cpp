#include "platform/UiFont.h"

namespace tp {

QStringList UiFontFamilies() {
    return {QStringLiteral("WenQuanYi Micro Hei")};
}

} // namespace tp
