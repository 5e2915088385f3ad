#pragma once
#include <QStringList>

namespace tp {

// The program's font families for its Chinese texts, best first: the
// system's own CJK interface font (one file per system).
QStringList UiFontFamilies();

} // namespace tp
