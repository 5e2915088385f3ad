#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tp {

std::unique_ptr<QTranslator> InstallQtTranslations() {
    auto translator = std::make_unique<QTranslator>();
    // "qt" is the catalogue that takes in qtbase's and the other modules'.
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace tp
