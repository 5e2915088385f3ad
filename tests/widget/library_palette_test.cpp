// Palette files and the colour library: a GIMP palette added in one
// transaction as "保存" would add each colour, and the browser's buttons
// that export and import.
#include "app/mainRGB.h"
#include "library/MessageBox.h"
#include "library/PaletteIo.h"
#include "library/ViewColor.h"
#include "library_fixture.h"
#include "library_parts.h"
#include "skin/Controls.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

using namespace tp;
using namespace tp::test;

namespace {

const QString Fixtures = QStringLiteral(TINTPICK_FIXTURES "/palettes/");

class PaletteImport : public StoreFixture {
protected:
    QString write(const char* name, const char* text) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return path;
    }
};

} // namespace

TEST_F(PaletteImport, AddsNewColoursRefusesStoredOnesAndSaysWhereTheyCameFrom) {
    makeStore();
    addRow(QStringLiteral("Noir"), 0, 0, 0, QStringLiteral("mine"));
    const ImportResult r = ImportPaletteFile(dm, Fixtures + QStringLiteral("documented.gpl"));
    EXPECT_EQ(r.added, 4);
    EXPECT_EQ(r.refused, 1); // black is stored already, under another name
    EXPECT_EQ(r.shortened, 2);
    const QString from = QStringLiteral("从 documented.gpl 导入");
    const std::vector<StoreRow> want = {
        {1, QStringLiteral("Noir"), 0, 0, 0, QStringLiteral("mine")},
        {2, QStringLiteral("White with blanks ar"), 255, 255, 255, from},
        {3, QStringLiteral("Steel\tblue\twith tabs"), 70, 130, 180, from},
        {4, QStringLiteral("Dark red, spaces bet"), 204, 0, 0, from},
        {5, QStringLiteral(""), 12, 34, 56, from},
    };
    EXPECT_EQ(rows(), want);
    // The same file again: everything in it is stored now.
    const ImportResult again = ImportPaletteFile(dm, Fixtures + QStringLiteral("documented.gpl"));
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.refused, 5);
    // A colour twice in one file goes in once.
    const ImportResult twice =
        ImportPaletteFile(dm, write("twice.gpl", "GIMP Palette\n1 1 1 a\n1 1 1 b\n"));
    EXPECT_EQ(twice.added, 1);
    EXPECT_EQ(twice.refused, 1);
}

TEST_F(PaletteImport, ItsOwnJsonAndCssExportsImportAsTheyWereWritten) {
    makeStore();
    addRow(QStringLiteral("Noir"), 0, 0, 0);
    Palette p;
    p.name = "Mine";
    p.entries = {{"大红", {204, 0, 0}, "pure"},
                 {"Dark Red", {139, 0, 0}, {}},
                 {"dark-red", {139, 0, 1}, "x — y"},
                 {"q\"b\\", {3, 3, 3}, {}},
                 {"black", {0, 0, 0}, {}}};
    for (const char* file : {"mine.json", "mine.css"}) {
        const QString path = dir.filePath(QString::fromLatin1(file));
        WritePaletteFile(p, path);
        sqlite(QStringLiteral("DELETE FROM Colors WHERE ID > 1;"));
        const ImportResult r = ImportPaletteFile(dm, path);
        EXPECT_EQ(r.added, 4) << file;
        EXPECT_EQ(r.refused, 1) << file;
        const auto got = rows();
        ASSERT_EQ(got.size(), 5u) << file;
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(got[i + 1].name, QString::fromStdString(p.entries[i].name)) << file;
            EXPECT_EQ(got[i + 1].g.toInt(), p.entries[i].rgb.g) << file;
            EXPECT_EQ(got[i + 1].b.toInt(), p.entries[i].rgb.b) << file;
            EXPECT_EQ(got[i + 1].comment, QStringLiteral("从 %1 导入").arg(QLatin1String(file)));
        }
    }
    // Written by hand: "hex" alone is enough.
    EXPECT_EQ(
        ImportPaletteFile(dm, write("hand.json", R"({"colors": [{"hex": "#0A0B0C"}]})")).added, 1);
    EXPECT_EQ(rows().back().b.toInt(), 12);
    // Not the program's own: refused with what is wrong, nothing added.
    const auto before = rows();
    EXPECT_NE(messageOf([&] {
                  ImportPaletteFile(dm, write("bad.json", R"({"colors": [{"hex": "#12"}]})"));
              }).find("第 1 个颜色"),
              std::string::npos);
    EXPECT_NE(messageOf([&] {
                  ImportPaletteFile(dm,
                                    write("bad.css", ":root {\n  --a: #123456;\n  --b: red;\n}\n"));
              }).find("第 3 行"),
              std::string::npos);
    EXPECT_EQ(rows(), before);
}

TEST_F(PaletteImport, ANameCutToTwentyCharactersLosesTheBlanksItThenEndsIn) {
    makeStore();
    // As GIMP's own palettes name colours: an export and an import again
    // keep the name as it is stored.
    ImportPaletteFile(dm, write("x.gpl", "GIMP Palette\n255 218 185\tpeach puff (255 218 185)\n"));
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].name, QStringLiteral("peach puff (255 218"));
}

TEST_F(PaletteImport, ABadLineOrAFailingStoreChangesNothing) {
    makeStore();
    addRow(QStringLiteral("Noir"), 0, 0, 0);
    const auto before = rows();
    const std::string bad = messageOf([&] {
        ImportPaletteFile(dm, write("bad.gpl", "GIMP Palette\n1 2 3 a\n4 5 6 b\n7 8 x c\n"));
    });
    EXPECT_NE(bad.find("bad.gpl"), std::string::npos) << bad;
    EXPECT_NE(bad.find("第 4 行"), std::string::npos) << bad;
    EXPECT_EQ(rows(), before);

    // The store refuses the third colour: the first two go too.
    sqlite(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Colors WHEN NEW.Name = 'c' "
                          "BEGIN SELECT RAISE(ABORT, 'no c'); END;"));
    const std::string failed = messageOf([&] {
        ImportPaletteFile(dm, write("good.gpl", "GIMP Palette\n1 2 3 a\n4 5 6 b\n7 8 9 c\n"));
    });
    EXPECT_NE(failed.find("no c"), std::string::npos) << failed;
    EXPECT_EQ(rows(), before);
}

TEST_F(PaletteImport, BrowserExportsTheListOrTheHistoryAndImportsFromItsButtons) {
    makeStore();
    addRow(QStringLiteral("红"), 255, 0, 0, QStringLiteral("pure"));
    addRow(QStringLiteral("大红"), 204, 0, 0);
    addRow(QStringLiteral("海蓝"), 0, 102, 204);
    dmMain = &dm;
    TestServices ts;
    RecordingSkinMessage msg{ts.skin};
    ts.messageBox = &msg;
    TfrmMain main(ts.services());
    main.TakeColour({1, 2, 3});
    main.TakeColour({255, 255, 255});

    QString answer;
    ts.runModal = [&](QDialog& d) {
        auto& w = dynamic_cast<TfrmViewColor&>(d);
        BrowserParts ui(w);
        w.setFileAsker([&](bool, const QString&) { return answer; });
        // The list after a search.
        ui.edtKeyword->setText(QStringLiteral("红"));
        ui.bsSkinButton3->click();
        answer = dir.filePath(QStringLiteral("list.json"));
        ui.mnuExport->actions()[1]->trigger();
        answer = dir.filePath(QStringLiteral("history.gpl"));
        ui.mnuExport->actions()[2]->trigger();
        answer = Fixtures + QStringLiteral("crlf-no-columns.gpl");
        ui.btnImport->click();
        EXPECT_EQ(ui.dbgColors->model()->rowCount(), 4); // the whole list again
        return 7;
    };
    test::Child<QPushButton>(&main, "bsSkinButton4")->click();
    dmMain = nullptr;

    QFile json(dir.filePath(QStringLiteral("list.json")));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonArray colours = QJsonDocument::fromJson(json.readAll())["colors"].toArray();
    ASSERT_EQ(colours.size(), 2);
    EXPECT_EQ(colours[0]["name"].toString(), QStringLiteral("红"));
    EXPECT_EQ(colours[0]["hex"].toString(), QStringLiteral("#FF0000"));
    EXPECT_EQ(colours[0]["comment"].toString(), QStringLiteral("pure"));
    EXPECT_EQ(colours[1]["name"].toString(), QStringLiteral("大红"));

    QFile gpl(dir.filePath(QStringLiteral("history.gpl")));
    ASSERT_TRUE(gpl.open(QIODevice::ReadOnly));
    const Palette history = ReadGpl(gpl.readAll().toStdString(), "history");
    // The two picks, newest first; the slots never written are left out.
    ASSERT_EQ(history.entries.size(), 2u);
    EXPECT_EQ(history.entries[0].rgb, (TRGB{255, 255, 255}));
    EXPECT_EQ(history.entries[1].rgb, (TRGB{1, 2, 3}));

    // Red was stored already; the other colour of the file is added.
    ASSERT_EQ(msg.calls.size(), 3u);
    EXPECT_TRUE(msg.calls[2].text.contains(QStringLiteral("添加了 1 个颜色；1 个颜色库中已有")))
        << msg.calls[2].text.toStdString();
    EXPECT_EQ(rows().back().name, QStringLiteral("绿色 深"));
}
