#include "skin/SkinData.h"

#include <QFile>

namespace tp {

namespace {
QByteArray readResource(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}
} // namespace

SkinData SkinData::load() {
    SkinData skin;
    const QByteArray strings = readResource(QStringLiteral(":/strings.txt"));
    skin.strings = StringTable::parse(
        std::string_view(strings.constData(), static_cast<size_t>(strings.size())));
    skin.styleSheet = QString::fromUtf8(readResource(QStringLiteral(":/air.qss")));
    skin.icon.addFile(QStringLiteral(":/tintpick16.png"), QSize(16, 16));
    skin.icon.addFile(QStringLiteral(":/tintpick32.png"), QSize(32, 32));
    return skin;
}

} // namespace tp
