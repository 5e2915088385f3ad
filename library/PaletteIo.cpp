#include "library/PaletteIo.h"

#include "library/LibraryRules.h"
#include "library/SaveInfo.h"
#include "library/dm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>

namespace tp {

namespace {

constexpr size_t NameLength = 20;
constexpr size_t CommentLength = 50;

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Cut to `n` characters as the store counts them (code points).
QString Cut(const QString& s, size_t n, const QString& mark = {}) {
    const std::u32string u = s.toStdU32String();
    if (u.size() <= n) return s;
    return QString::fromStdU32String(u.substr(0, n - size_t(mark.size()))) + mark;
}

} // namespace

Palette LibraryPalette(TdmMain& dm) {
    Palette p;
    p.name = "Tintpick 颜色库";
    Doing("颜色库没有导出", [&] {
        dm.Fetch(QStringLiteral("select * from Colors order by ID"), {},
                 {QStringLiteral("Name"), QStringLiteral("RVal"), QStringLiteral("GVal"),
                  QStringLiteral("BVal"), QStringLiteral("Comment")},
                 [&](const TdmMain::FetchRow& row) {
                     p.entries.push_back({std::string(row.utf8(0)),
                                          {ChannelByte(row.integer(1)), ChannelByte(row.integer(2)),
                                           ChannelByte(row.integer(3))},
                                          std::string(row.utf8(4))});
                 });
    });
    return p;
}

void WritePaletteFile(const Palette& p, const QString& path) {
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    const auto format = PaletteFormatOf(std::string_view(name.constData(), size_t(name.size())));
    if (!format)
        throw Error(QStringLiteral("无法导出到 %1：文件名应以 .gpl、.css 或 .json 结尾。")
                        .arg(Shown(path))
                        .toStdString());
    const std::string text = WritePalette(p, *format);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit())
        throw Error(
            QStringLiteral("无法写入 %1：%2").arg(Shown(path), file.errorString()).toStdString());
}

ImportResult ImportPaletteFile(TdmMain& dm, const QString& path) {
    const QFileInfo info(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法读取 %1：%2。颜色库没有改变。")
                        .arg(Shown(path), file.errorString())
                        .toStdString());
    const QByteArray data = file.readAll();
    Palette p;
    try {
        const QByteArray base = info.completeBaseName().toUtf8();
        p = ReadGpl(std::string_view(data.constData(), size_t(data.size())),
                    std::string_view(base.constData(), size_t(base.size())));
    } catch (const Error& e) {
        throw Error(QStringLiteral("无法导入 %1：%2。颜色库没有改变。")
                        .arg(Shown(path), QString::fromUtf8(e.what()))
                        .toStdString());
    }
    const QString comment =
        Cut(QStringLiteral("从 %1 导入")
                .arg(Cut(info.fileName(), CommentLength - 5, QStringLiteral("…"))),
            CommentLength);

    ImportResult r;
    Doing("颜色没有导入，颜色库没有改变", [&] {
        dm.EnsureConnected();
        dm.RequireWritable();
        QSqlDatabase db = dm.adocMain();
        if (!db.transaction())
            throw StoreError(dm.storeFile(), StoreMessage(db.lastError()),
                             StoreCode(db.lastError()));
        try {
            for (const PaletteEntry& e : p.entries) {
                if (ColorIsStored(dm, e.rgb)) {
                    ++r.refused;
                    continue;
                }
                const QString name = QString::fromStdString(e.name);
                const QString kept = Cut(name, NameLength);
                if (kept != name) ++r.shortened;
                InsertColor(dm, kept, e.rgb, comment);
                ++r.added;
            }
            if (!db.commit())
                throw StoreError(dm.storeFile(), StoreMessage(db.lastError()),
                                 StoreCode(db.lastError()));
        } catch (...) {
            db.rollback();
            throw;
        }
    });
    return r;
}

QString ImportSummary(const ImportResult& r, const QString& path) {
    QString said = QStringLiteral("从 %1 添加了 %2 个颜色；%3 个颜色库中已有，没有添加。")
                       .arg(Shown(path))
                       .arg(r.added)
                       .arg(r.refused);
    if (r.shortened) said += QStringLiteral("%1 个名称超过 20 个字符，已截短。").arg(r.shortened);
    return said;
}

} // namespace tp
