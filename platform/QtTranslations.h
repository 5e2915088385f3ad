#pragma once
// Qt's own texts (the standard dialogs, their buttons, the edits' context
// menus) in the program's language, Simplified Chinese, whatever the
// system's: from the translations Qt ships (Debian: qt6-translations-l10n),
// on Windows taken into the executable by the build.
#include <memory>

class QTranslator;

namespace tp {

// Installs the translations into the application; nothing when they are
// not installed, and Qt's texts stay English. The translator stays in use
// while the returned object lives.
std::unique_ptr<QTranslator> InstallQtTranslations();

} // namespace tp
