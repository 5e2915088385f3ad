#include "library/PaletteIo.h"

#include "colour/ColorText.h"
#include "library/ColorStore.h"
#include "library/LibraryRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace tp {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Cut to `n` characters as the store counts them (code points).
QString Cut(const QString& s, int n, const QString& mark = {}) {
    const std::u32string u = s.toStdU32String();
    if (u.size() <= size_t(n)) return s;
    return QString::fromStdU32String(u.substr(0, size_t(n) - size_t(mark.size()))) + mark;
}

// The program's own JSON: {"colors": [{"name", "hex" or "rgb"}, ...]}.
Palette ReadJson(const QByteArray& data) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (doc.isNull())
        throw Error(QStringLiteral("不是 JSON 文本（第 %1 个字节处：%2）")
                        .arg(error.offset + 1)
                        .arg(error.errorString())
                        .toStdString());
    const QJsonValue colors = doc.object().value(QLatin1String("colors"));
    if (!colors.isArray()) throw Error("没有 “colors” 列表，这不是 Tintpick 导出的 JSON 调色板");
    Palette p;
    p.name = doc.object().value(QLatin1String("name")).toString().toStdString();
    const QJsonArray list = colors.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject c = list.at(i).toObject();
        const QJsonValue name = c.value(QLatin1String("name"));
        const QString hex = c.value(QLatin1String("hex")).toString();
        std::optional<TRGB> rgb;
        if (hex.size() == 7 && hex.startsWith(u'#')) rgb = ParseHexCode(hex.mid(1).toStdString());
        const QJsonArray channels = c.value(QLatin1String("rgb")).toArray();
        if (!rgb && channels.size() == 3) {
            int v[3];
            bool ok = true;
            for (int k = 0; k < 3; ++k) {
                v[k] = channels.at(k).toInt(-1);
                ok = ok && channels.at(k).isDouble() && v[k] >= 0 && v[k] <= 255;
            }
            if (ok) rgb = TRGB{uint8_t(v[0]), uint8_t(v[1]), uint8_t(v[2])};
        }
        if (!rgb || (!name.isString() && !name.isUndefined()))
            throw Error(QStringLiteral("第 %1 个颜色应有名称和 “hex”（#RRGGBB）或 “rgb”（三个 0 到 "
                                       "255 的整数）")
                            .arg(i + 1)
                            .toStdString());
        p.entries.push_back({name.toString().toStdString(), *rgb, {}});
    }
    return p;
}

} // namespace

Palette LibraryPalette(ColorStore& store) {
    Palette p;
    p.name = "Tintpick 颜色库";
    StoreSelection all;
    all.inIdOrder = true;
    Doing("颜色库没有导出", [&] {
        store.Fetch(all, [&](const StoredRow& row) {
            p.entries.push_back({std::string(row.name),
                                 {ChannelByte(row.channels[0]), ChannelByte(row.channels[1]),
                                  ChannelByte(row.channels[2])},
                                 std::string(row.comment)});
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

ImportResult ImportPaletteFile(ColorStore& store, const QString& path) {
    // A library that may only be read says so before the file is read.
    Doing("颜色没有导入，颜色库没有改变", [&] {
        store.EnsureConnected();
        store.RequireWritable();
    });
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
        const std::string_view text(data.constData(), size_t(data.size()));
        const std::string_view baseName(base.constData(), size_t(base.size()));
        // The extension decides, as for an export; anything else is taken for
        // a GIMP palette, whose first line says whether it is one.
        const QByteArray name = info.fileName().toUtf8();
        switch (PaletteFormatOf(std::string_view(name.constData(), size_t(name.size())))
                    .value_or(PaletteFormat::Gpl)) {
        case PaletteFormat::Json:
            p = ReadJson(data);
            break;
        case PaletteFormat::Css:
            p = ReadCss(text, baseName);
            break;
        case PaletteFormat::Gpl:
            p = ReadGpl(text, baseName);
            break;
        }
    } catch (const Error& e) {
        throw Error(QStringLiteral("无法导入 %1：%2。颜色库没有改变。")
                        .arg(Shown(path), QString::fromUtf8(e.what()))
                        .toStdString());
    }
    const QString comment =
        Cut(QStringLiteral("从 %1 导入")
                .arg(Cut(info.fileName(), CommentLength - 5, QStringLiteral("…"))),
            CommentLength);

    std::vector<NewColor> colors;
    std::vector<bool> cut;
    colors.reserve(p.entries.size());
    for (const PaletteEntry& e : p.entries) {
        const QString name = QString::fromStdString(e.name);
        // A palette file strips the end blanks of a name: so is a cut one,
        // or an export and an import again would change it.
        QString kept = Cut(name, NameLength);
        if (kept != name)
            while (kept.endsWith(u' ') || kept.endsWith(u'\t'))
                kept.chop(1);
        cut.push_back(kept != name);
        colors.push_back({kept, e.rgb, comment});
    }
    const std::vector<bool> added =
        Doing("颜色没有导入，颜色库没有改变", [&] { return store.AddColors(colors); });
    ImportResult r;
    for (size_t i = 0; i < added.size(); ++i) {
        (added[i] ? r.added : r.refused) += 1;
        if (added[i] && cut[i]) ++r.shortened;
    }
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

ImportResult SaveHistoryColors(ColorStore& store, const std::vector<TRGB>& picks) {
    return Doing("颜色没有存入颜色库，颜色库没有改变", [&] {
        store.EnsureConnected();
        store.RequireWritable();
        std::vector<NewColor> colors;
        colors.reserve(picks.size());
        for (const TRGB& c : picks)
            colors.push_back(
                {QString::fromStdString(HexCode(c)), c, QStringLiteral("来自取色历史")});
        ImportResult r;
        for (const bool added : store.AddColors(colors))
            (added ? r.added : r.refused) += 1;
        return r;
    });
}

QString HistorySaveSummary(const ImportResult& r) {
    return QStringLiteral("添加了 %1 个颜色；%2 个颜色库中已有").arg(r.added).arg(r.refused);
}

} // namespace tp
