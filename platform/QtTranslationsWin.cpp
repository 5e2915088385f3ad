#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

// Qt built for Windows ships no translations beside the program: the
// build takes qtbase's Simplified Chinese catalogue of the same Qt version
// into the executable.
extern const unsigned char QtBaseZhCn[];
extern const int QtBaseZhCn_size;

namespace tp {

std::unique_ptr<QTranslator> InstallQtTranslations() {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QtBaseZhCn, QtBaseZhCn_size)) return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace tp
