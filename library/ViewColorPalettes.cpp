// The library browser's palette files: its band of buttons, and exporting
// and importing through them.
#include "library/ColorStore.h"
#include "library/LibraryChoice.h"
#include "library/LibraryPlace.h"
#include "library/LibraryRules.h"
#include "library/MessageBox.h"
#include "library/PaletteIo.h"
#include "library/ViewColor.h"
#include "platform/ErrorReporter.h"
#include "platform/FileDialog.h"
#include "skin/Controls.h"
#include "skin/Placement.h"
#include "skin/SkinForm.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QVBoxLayout>

namespace tp {

namespace {

const QString SaveFilters =
    QStringLiteral("GIMP 调色板 (*.gpl);;CSS 自定义属性 (*.css);;JSON (*.json)");

// The file name with the extension of the filter chosen, when the name the
// user typed has none the exporter knows.
QString WithExtension(QString path, const QString& filter) {
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    if (PaletteFormatOf(std::string_view(name.constData(), size_t(name.size())))) return path;
    if (filter.contains(QLatin1String("*.css"))) return path + QStringLiteral(".css");
    if (filter.contains(QLatin1String("*.json"))) return path + QStringLiteral(".json");
    return path + QStringLiteral(".gpl");
}

} // namespace

void TfrmViewColor::BuildPaletteBand() {
    // Below the window's own controls, so that each keeps its place.
    pnlPalettes = new QWidget(this);
    pnlPalettes->setObjectName(QStringLiteral("pnlPalettes"));
    pnlPalettes->setFixedSize(bsBusinessSkinForm1->client()->width(), 34);
    if (auto* outer = qobject_cast<QVBoxLayout*>(layout())) outer->addWidget(pnlPalettes);

    btnImport = new TbsSkinButton(QStringLiteral("导入调色板…"), pnlPalettes);
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnImport->setToolTip(
        QStringLiteral("把 GIMP 调色板（.gpl）或本程序导出的 .css、.json 中的颜色加入颜色库"));
    Place(btnImport, 8, 4, 100, 22);
    btnExport = new TbsSkinButton(QStringLiteral("导出调色板"), pnlPalettes);
    btnExport->setObjectName(QStringLiteral("btnExport"));
    btnExport->setToolTip(
        QStringLiteral("导出为 GIMP 调色板（.gpl）、CSS 自定义属性（.css）或 JSON"));
    Place(btnExport, 116, 4, 100, 22);
    mnuExport = new QMenu(btnExport);
    mnuExport->setObjectName(QStringLiteral("mnuExport"));
    auto guard = [this](auto f) { return [this, f] { Guarded(*services_.errors, f); }; };
    connect(mnuExport->addAction(QStringLiteral("颜色库中的全部颜色…")), &QAction::triggered, this,
            guard([this] { ExportPalette(ExportFrom::Library); }));
    connect(mnuExport->addAction(QStringLiteral("列表中的颜色（查找结果）…")), &QAction::triggered,
            this, guard([this] { ExportPalette(ExportFrom::List); }));
    connect(mnuExport->addAction(QStringLiteral("历史颜色…")), &QAction::triggered, this,
            guard([this] { ExportPalette(ExportFrom::History); }));
    btnExport->setMenu(mnuExport);
    connect(btnImport, &QPushButton::clicked, this, guard([this] { ImportPalette(); }));
    btnPlace = new TbsSkinButton(QStringLiteral("颜色库位置…"), pnlPalettes);
    btnPlace->setObjectName(QStringLiteral("btnPlace"));
    btnPlace->setToolTip(QStringLiteral("使用另一个颜色库：本机的文件或服务器上的团队颜色库"));
    Place(btnPlace, 224, 4, 100, 22);
    connect(btnPlace, &QPushButton::clicked, this, guard([this] {
                if (!libraryChoice) return;
                dbgColors->commitEditor();
                adoqLib->CheckBrowseMode();
                if (ChooseLibraryPlace(services_, *libraryChoice, this)) {
                    libraryChanged_ = true;
                    done(2);
                }
            }));
    btnHistoryToLibrary = new TbsSkinButton(QStringLiteral("全部存入颜色库"), pnlPalettes);
    btnHistoryToLibrary->setObjectName(QStringLiteral("btnHistoryToLibrary"));
    btnHistoryToLibrary->setToolTip(
        QStringLiteral("把取色历史中的每个颜色存入颜色库，以代码为名称；已有的颜色不再添加"));
    Place(btnHistoryToLibrary, 332, 4, 110, 22);
    btnHistoryToLibrary->setEnabled(!history_.empty());
    connect(btnHistoryToLibrary, &QPushButton::clicked, this,
            guard([this] { SaveHistoryToLibrary(); }));
    for (auto* b : {btnImport, btnExport, btnPlace, btnHistoryToLibrary})
        b->setAutoDefault(false);
    setTabOrder(bsSkinButton4, btnImport);
    setTabOrder(btnImport, btnExport);
    setTabOrder(btnExport, btnPlace);
    setTabOrder(btnPlace, btnHistoryToLibrary);

    askFile_ = [this](bool save, const QString& suggested) {
        if (!save)
            return AskOpenFile(this, services_.settings, QStringLiteral("导入调色板"),
                               QStringLiteral("调色板 (*.gpl *.css *.json);;") + SaveFilters +
                                   QStringLiteral(";;所有文件 (*)"));
        QString filter;
        const QString path = AskSaveFile(this, services_.settings, QStringLiteral("导出调色板"),
                                         suggested, SaveFilters, &filter);
        return path.isEmpty() ? path : WithExtension(path, filter);
    };
}

void TfrmViewColor::ExportPalette(ExportFrom from) {
    Palette p;
    QString suggested;
    switch (from) {
    case ExportFrom::Library:
        p = LibraryPalette(dm_);
        suggested = QStringLiteral("tintpick-library.gpl");
        break;
    case ExportFrom::List:
        // What the list shows, a change being typed included.
        dbgColors->commitEditor();
        p.name = "Tintpick 颜色库（列表）";
        for (int row = 0; row < adoqLib->RecordCount(); ++row) {
            auto channel = [&](int field) {
                bool ok = false;
                const qint64 v = adoqLib->ValueAt(row, field).toLongLong(&ok);
                return ChannelByte(ok ? v : 0);
            };
            p.entries.push_back(
                {adoqLib->ValueAt(row, TLibQuery::fName).toString().toStdString(),
                 {channel(TLibQuery::fRVal), channel(TLibQuery::fGVal), channel(TLibQuery::fBVal)},
                 adoqLib->ValueAt(row, TLibQuery::fComment).toString().toStdString()});
        }
        suggested = QStringLiteral("tintpick-list.gpl");
        break;
    case ExportFrom::History:
        p.name = "Tintpick 历史颜色";
        p.columns = 8; // as the main window's grid shows them
        for (size_t i = 0; i < history_.size(); ++i)
            p.entries.push_back({"历史 " + std::to_string(i + 1), history_[i], {}});
        suggested = QStringLiteral("tintpick-history.gpl");
        break;
    }
    const QString path = askFile_ ? askFile_(true, suggested) : QString();
    if (path.isEmpty()) return;
    WritePaletteFile(p, path);
    if (msgAlert_)
        msgAlert_->ShowMessageBox(QStringLiteral("已把 %1 个颜色导出到 %2。")
                                      .arg(p.entries.size())
                                      .arg(QDir::toNativeSeparators(path)),
                                  mtInformation, mbOK, 0);
}

void TfrmViewColor::setHistory(std::vector<TRGB> picks) {
    history_ = std::move(picks);
    btnHistoryToLibrary->setEnabled(!history_.empty());
}

void TfrmViewColor::SaveHistoryToLibrary() {
    // A change being typed is posted first, as moving to another row would.
    dbgColors->commitEditor();
    adoqLib->CheckBrowseMode();
    const ImportResult r = SaveHistoryColors(dm_, history_);
    // The colours added show in the whole list.
    bsSkinButton4Click();
    if (msgAlert_) msgAlert_->ShowMessageBox(HistorySaveSummary(r), mtInformation, mbOK, 0);
}

void TfrmViewColor::ImportPalette() {
    // A library that may only be read says so before the user picks a file.
    Doing("颜色没有导入", [this] { dm_.RequireWritable(); });
    const QString path = askFile_ ? askFile_(false, {}) : QString();
    if (path.isEmpty()) return;
    // A change being typed is posted first, as moving to another row would.
    dbgColors->commitEditor();
    adoqLib->CheckBrowseMode();
    const ImportResult r = ImportPaletteFile(dm_, path);
    // The colours added show in the whole list.
    bsSkinButton4Click();
    if (msgAlert_) msgAlert_->ShowMessageBox(ImportSummary(r, path), mtInformation, mbOK, 0);
}

} // namespace tp
