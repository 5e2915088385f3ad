// The library's windows driven offscreen: the skinned message box, "保存"
// with its dialog, and the browser opened by "加载". Modal windows are run
// through the main window's runner, so no test waits in a nested loop.
#include "app/mainRGB.h"
#include "base/AppInfo.h"
#include "colour/Contrast.h"
#include "history/DrawGrid.h"
#include "library/MessageBox.h"
#include "library/SaveInfo.h"
#include "library/TextLimit.h"
#include "library/ViewColor.h"
#include "library_fixture.h"
#include "library_parts.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

using namespace tp;
using namespace tp::test;

namespace {
void key(QWidget* w, int k, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, k, m, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, k, m, text);
    QApplication::sendEvent(w, &release);
}
void type(QWidget* w, const QString& s) {
    for (QChar c : s)
        key(w, c.unicode(), Qt::NoModifier, QString(c));
}
// Types into whichever widget has the focus, as the keyboard does: each key
// with the text X11 gives it.
void typeFocused(const QString& s) {
    for (QChar c : s)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}
void tabFocused() {
    key(QApplication::focusWidget(), Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
}
// The best contrast any pixel inside r has with r's corner: the text's,
// where text is drawn on a plain background.
double TextContrast(const QImage& img, const QRect& r) {
    const auto at = [&](int x, int y) {
        const QRgb p = img.pixel(x, y);
        return TRGB{uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))};
    };
    const TRGB back = at(r.left() + 1, r.top() + 1);
    double best = 1;
    for (int y = r.top() + 1; y < r.bottom(); ++y)
        for (int x = r.left() + 1; x < r.right(); ++x)
            best = std::max(best, ContrastRatio(at(x, y), back));
    return best;
}
QRgb pixelOfCell(TbsSkinDBGrid* g, int row, int col) {
    const QRect r = g->visualRect(g->model()->index(row, col));
    const QImage img = g->viewport()->grab().toImage();
    // A corner of the cell, away from its text.
    return img.pixel(r.left() + 2, r.top() + 2);
}
} // namespace

// ---- message box --------------------------------------------------------------

class SkinMessageBox : public ::testing::Test {
protected:
    TestServices ts;
    TbsSkinMessage box{ts.skin};
    // Answers the next modal box with a key.
    int answerWith(int k, int kind, int buttons) {
        QTimer::singleShot(0, [k] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            if (k == 0)
                w->close();
            else
                key(w, k);
        });
        return box.ShowMessageBox(QStringLiteral("这个颜色已经保存了"), kind, buttons, 0);
    }
};

TEST_F(SkinMessageBox, RefusalLooksAsTheProgramShowsIt) {
    auto dlg = box.BuildMessageBox(QStringLiteral("这个颜色已经保存了"), mtInformation, mbOK);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("提示"));
    auto* label = dlg->findChild<QLabel*>(QStringLiteral("Message"));
    auto* image = dlg->findChild<QLabel*>(QStringLiteral("Image"));
    auto* ok = dlg->findChild<QPushButton*>(QStringLiteral("OK"));
    ASSERT_TRUE(label && image && ok);
    EXPECT_EQ(label->pos(), QPoint(50, 15));
    EXPECT_EQ(image->geometry(), QRect(5, std::max(10, 15 + label->height() / 2 - 16), 32, 32));
    EXPECT_FALSE(image->pixmap().isNull());
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    EXPECT_TRUE(ok->isDefault());
    const QWidget* client = label->parentWidget();
    const MessageLayout m =
        LayoutMessageBox(label->width(), label->height(), mbOK, 25, 120, 100000);
    EXPECT_EQ(client->size(), QSize(m.clientWidth, m.clientHeight));
    EXPECT_EQ(ok->geometry(), QRect(m.buttons[0].left, m.buttons[0].top, 70, 25));
    // Centred on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(dlg->x(), screen.width() / 2 - dlg->width() / 2);

    auto confirm =
        box.BuildMessageBox(ts.skin.text("DB_DELETE_QUESTION"), mtConfirmation, mbOK | mbCancel);
    EXPECT_EQ(confirm->windowTitle(), QStringLiteral("确认"));
    auto* cancel = confirm->findChild<QPushButton*>(QStringLiteral("Cancel"));
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    EXPECT_EQ(cancel->x() - confirm->findChild<QPushButton*>(QStringLiteral("OK"))->x(), 80);
    EXPECT_EQ(box.BuildMessageBox(QStringLiteral("x"), mtCustom, mbYes)->windowTitle(),
              QStringLiteral("Tintpick"));
}

TEST_F(SkinMessageBox, ALineWiderThanTheScreenIsWrappedInsideIt) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString line =
        QStringLiteral("可以粘贴的颜色写法：#RRGGBB、#RGB、RRGGBB、0xRRGGBB、").repeated(8);
    auto dlg = box.BuildMessageBox(line, mtError, mbOK);
    auto* label = dlg->findChild<QLabel*>(QStringLiteral("Message"));
    ASSERT_TRUE(label);
    EXPECT_LE(dlg->width(), screen.width());
    EXPECT_GE(dlg->x(), screen.x());
    EXPECT_LE(label->geometry().right(), label->parentWidget()->width());
    EXPECT_GT(label->height(), 2 * label->fontMetrics().height()) << "on several lines";
    // A short one keeps its one line.
    auto small = box.BuildMessageBox(QStringLiteral("这个颜色已经保存了"), mtInformation, mbOK);
    EXPECT_FALSE(small->findChild<QLabel*>(QStringLiteral("Message"))->wordWrap());
}

TEST_F(SkinMessageBox, ResultsOfKeysButtonsAndClosing) {
    EXPECT_EQ(answerWith(Qt::Key_Return, mtInformation, mbOK), 1);
    EXPECT_EQ(answerWith(Qt::Key_Escape, mtInformation, mbOK), 1); // OK is also the cancel button
    EXPECT_EQ(answerWith(Qt::Key_Escape, mtConfirmation, mbOK | mbCancel), 2);
    EXPECT_EQ(answerWith(Qt::Key_Return, mtConfirmation, mbOK | mbCancel), 1);
    EXPECT_EQ(answerWith(Qt::Key_Escape, mtWarning, mbYes | mbNo), 7);
    EXPECT_EQ(answerWith(Qt::Key_Return, mtWarning, mbYes | mbNo), 6);
    EXPECT_EQ(answerWith(0, mtConfirmation, mbOK | mbCancel), 2); // closed another way
    EXPECT_EQ(answerWith(0, mtError, mbYes | mbNo), 2);
}

// ---- saving ---------------------------------------------------------------------

class LibraryWindows : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        dmMain = &dm;
        ts.messageBox = &msg;
        main = std::make_unique<TfrmMain>(ts.services());
        main->move(100, 80);
    }
    test::MainParts ui() const { return test::MainParts(main.get()); }
    void TearDown() override {
        delete frmSaveInfo;
        main.reset();
        dmMain = nullptr;
        StoreFixture::TearDown();
    }
    TestServices ts;
    RecordingSkinMessage msg{ts.skin};
    std::unique_ptr<TfrmMain> main;
    int runs = 0;
};

TEST_F(LibraryWindows, SaveAsksForANameAndStoresTheRow) {
    makeStore();
    test::TypeColour(*main, {5, 0, 255});
    ts.runModal = [&](QDialog& d) {
        ++runs;
        auto& dlg = dynamic_cast<TfrmSaveInfo&>(d);
        SaveDialogParts ui(dlg);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("保存颜色"));
        EXPECT_EQ(ui.edtName->text(), QStringLiteral(" 5 0FF"));
        auto* nameLimit = ui.edtName->findChild<TextLimit*>();
        EXPECT_TRUE(nameLimit && nameLimit->limit() == 20)
            << "20 characters, whatever their UTF-16 length";
        EXPECT_EQ(ui.edtName->geometry(), QRect(58, 10, 132, 20));
        EXPECT_EQ(ui.memComment->geometry(), QRect(59, 45, 195, 83));
        EXPECT_EQ(ui.bsSkinButton1->geometry(), QRect(100, 143, 65, 22));
        EXPECT_EQ(ui.bsSkinButton2->geometry(), QRect(189, 143, 65, 22));
        EXPECT_EQ(ui.client->size(), QSize(278, 178));
        const QImage sample = ui.lblColor->grab().toImage();
        EXPECT_EQ(QColor(sample.pixel(1, 1)), QColor(5, 0, 255));
        ui.memComment->setPlainText(QStringLiteral("第一行\n'second'"));
        ui.bsSkinButton1->click();
        return dlg.result();
    };
    ui().bsSkinButton3->click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(frmSaveInfo, nullptr) << "the dialog lives for one save";
    auto r = rows();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].name, QStringLiteral(" 5 0FF"));
    EXPECT_EQ(r[0].comment, QStringLiteral("第一行\r\n'second'"));
    EXPECT_EQ(r[0].b.toInt(), 255);
    EXPECT_TRUE(ts.errors.messages.isEmpty());

    // The same colour again: refused, no dialog, nothing written.
    ui().bsSkinButton3->click();
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(msg.calls.size(), 1u);
    EXPECT_EQ(msg.calls[0].text, QStringLiteral("这个颜色已经保存了"));
    EXPECT_EQ(msg.calls[0].kind, mtInformation);
    EXPECT_EQ(msg.calls[0].buttons, int(mbOK));
    EXPECT_EQ(rows(), r);
}

TEST_F(LibraryWindows, TheSampleOfAMidToneIsLegible) {
    makeStore();
    test::TypeColour(*main, {0x80, 0x80, 0x80}); // its inverse, 7F7F7F, cannot be read on it
    ts.runModal = [&](QDialog& d) {
        SaveDialogParts ui(d);
        const QImage sample = ui.lblColor->grab().toImage();
        EXPECT_GE(TextContrast(sample, sample.rect()), 3.0);
        return 7;
    };
    ui().bsSkinButton3->click();
}

TEST_F(LibraryWindows, CancelledSaveStoresNothing) {
    makeStore();
    test::TypeColour(*main, {1, 2, 3});
    for (int answer : {7, 2}) {
        ts.runModal = [&](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmSaveInfo&>(d);
            SaveDialogParts ui(dlg);
            if (answer == 7)
                key(&dlg, Qt::Key_Escape);
            else
                dlg.reject();
            EXPECT_EQ(dlg.result(), answer);
            return dlg.result();
        };
        ui().bsSkinButton3->click();
        EXPECT_EQ(frmSaveInfo, nullptr);
    }
    EXPECT_TRUE(rows().empty());
    // The comment holds at most 50 characters, a line break counting as two.
    TfrmSaveInfo dlg(ts.services(), nullptr);
    SaveDialogParts ui(dlg);
    ui.memComment->setPlainText(QString(49, QLatin1Char('x')));
    ui.memComment->moveCursor(QTextCursor::End);
    ui.memComment->insertPlainText(QStringLiteral("\n"));
    EXPECT_EQ(dlg.CommentText().size(), 49);
    ui.memComment->insertPlainText(QStringLiteral("y"));
    EXPECT_EQ(dlg.CommentText().size(), 50);
}

TEST_F(LibraryWindows, SaveDialogCountsCharactersAndKeepsWhatFitsOfAPaste) {
    makeStore();
    test::TypeColour(*main, {6, 6, 6});
    const QString face = QStringLiteral("😀");
    ts.runModal = [&](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmSaveInfo&>(d);
        SaveDialogParts ui(dlg);
        ui.edtName->selectAll();
        ui.edtName->insert(face.repeated(25));
        ui.memComment->setPlainText(QString(40, QLatin1Char('c')));
        ui.memComment->moveCursor(QTextCursor::End);
        ui.memComment->insertPlainText(face.repeated(4) + QString(20, QLatin1Char('p')));
        return 1;
    };
    ui().bsSkinButton3->click();
    ASSERT_EQ(rows().size(), 1u) << ts.errors.messages.join('\n').toStdString();
    EXPECT_EQ(rows()[0].name, face.repeated(20));
    EXPECT_EQ(rows()[0].comment,
              QString(40, QLatin1Char('c')) + face.repeated(4) + QString(6, QLatin1Char('p')));
}

TEST_F(LibraryWindows, FailedInsertKeepsTheDialogAndItsCommentForTheNextSave) {
    makeStore();
    test::TypeColour(*main, {10, 20, 30});
    TfrmSaveInfo* first = nullptr;
    QPoint firstPos;
    ts.runModal = [&](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmSaveInfo&>(d);
        SaveDialogParts ui(dlg);
        first = &dlg;
        dlg.show(); // first showing: centred in the work area
        firstPos = dlg.pos();
        ui.edtName->setText(QStringLiteral("mine"));
        ui.memComment->setPlainText(QStringLiteral("keep me"));
        lockFromAnotherConnection();
        dlg.hide();
        return 1;
    };
    ui().bsSkinButton3->click();
    ASSERT_NE(first, nullptr) << "no dialog";
    ASSERT_EQ(ts.errors.messages.size(), 1);
    EXPECT_TRUE(ts.errors.messages[0].contains(QStringLiteral("locked")))
        << ts.errors.messages[0].toStdString();
    EXPECT_EQ(frmSaveInfo, first);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(firstPos.x(), area.x() + area.width() / 2 - first->width() / 2);
    unlock();
    EXPECT_TRUE(rows().empty());

    ts.runModal = [&](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmSaveInfo&>(d);
        SaveDialogParts ui(dlg);
        EXPECT_EQ(&dlg, first);
        EXPECT_EQ(ui.edtName->text(), QStringLiteral(" A141E")) << "the name is proposed afresh";
        EXPECT_EQ(ui.memComment->toPlainText(), QStringLiteral("keep me"));
        dlg.show(); // not the first showing: stays at the main window + 30
        EXPECT_EQ(dlg.pos(), main->pos() + QPoint(30, 30));
        dlg.hide();
        return 1;
    };
    ui().bsSkinButton3->click();
    EXPECT_EQ(frmSaveInfo, nullptr);
    ASSERT_EQ(rows().size(), 1u);
    EXPECT_EQ(rows()[0].comment, QStringLiteral("keep me"));
}

TEST_F(LibraryWindows, MissingStoreIsReportedOnEveryUseUntilItAppears) {
    ts.runModal = [&](QDialog& d) {
        ++runs;
        return d.result();
    };
    test::TypeColour(*main, {1, 1, 1});
    ui().bsSkinButton3->click();
    EXPECT_EQ(runs, 0) << "no dialog without a store";
    ui().bsSkinButton3->click();
    ASSERT_EQ(ts.errors.messages.size(), 2);
    // What was not done first, then the store file, then the detail.
    const QString file = QDir::toNativeSeparators(storePath());
    EXPECT_TRUE(ts.errors.messages[0].startsWith(QStringLiteral("颜色没有保存")));
    EXPECT_TRUE(
        ts.errors.messages[0].contains(QStringLiteral("Could not find file '%1'").arg(file)))
        << ts.errors.messages[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(storePath()));

    // The browser opens all the same, with the query closed.
    ts.runModal = [&](QDialog& d) {
        auto& w = dynamic_cast<TfrmViewColor&>(d);
        BrowserParts ui(w);
        EXPECT_FALSE(ui.adoqLib->Active());
        for (int b = 0; b < TbsSkinDBNavigator::ButtonCount; ++b)
            EXPECT_FALSE(ui.nav(b)->isEnabled());
        EXPECT_EQ(ui.dbgColors->model()->rowCount(), 1);
        makeStore();               // appears while the program runs
        ui.bsSkinButton4->click(); // "全部" tries again
        EXPECT_TRUE(ui.adoqLib->Active());
        ui.bsSkinButton1->click();
        return w.result();
    };
    test::TypeColour(*main, {9, 9, 9});
    ui().bsSkinButton4->click();
    EXPECT_EQ(ts.errors.messages.size(), 3);
    EXPECT_EQ(main->CurrentColour(), (TRGB{0, 0, 0})) << "an empty library loads black";
    EXPECT_EQ(ui().edtHC->text(), QStringLiteral("000000"));

    ts.runModal = [&](QDialog& d) { return d.result() == 0 ? 1 : d.result(); };
    test::TypeColour(*main, {1, 1, 1});
    ui().bsSkinButton3->click();
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_EQ(ts.errors.messages.size(), 3);
}

TEST_F(LibraryWindows, TheBrowserOfAnEmptyLibrarySaysWhereItLies) {
    makeStore();
    const QString file = QDir::toNativeSeparators(storePath());
    ts.runModal = [&](QDialog& d) {
        BrowserParts ui(d);
        EXPECT_TRUE(ui.bsSkinStdLabel2->toolTip().contains(file))
            << ui.bsSkinStdLabel2->toolTip().toStdString();
        EXPECT_TRUE(ui.bsSkinStdLabel2->text().startsWith(QStringLiteral("颜色库还没有颜色")));
        addRow(QStringLiteral("红"), 255, 0, 0);
        ui.bsSkinButton4->click();
        EXPECT_EQ(ui.bsSkinStdLabel2->text(),
                  QStringLiteral("选中库中的颜色，点击确定加载该颜色信息"));
        return 7;
    };
    ui().bsSkinButton4->click();
    EXPECT_TRUE(ts.errors.messages.isEmpty());
}

// ---- browser ----------------------------------------------------------------------

class Browser : public LibraryWindows {
protected:
    void SetUp() override {
        LibraryWindows::SetUp();
        makeStore();
        addRow(QStringLiteral("红"), 255, 0, 0);
        addRow(QStringLiteral("大红"), 204, 0, 0);
        addRow(QStringLiteral("红色"), 250, 10, 10);
        addRow(QStringLiteral("O'Neil"), 0, 128, 0);
        addRow(QStringLiteral("蓝300"), 0, 0, 300);
        before = rows();
        test::TypeColour(*main, {1, 2, 3});
    }
    // Opens the browser shown and active, runs body, returns the result.
    int browse(const std::function<void(TfrmViewColor&)>& body) {
        ts.runModal = [&](QDialog& d) {
            auto& w = dynamic_cast<TfrmViewColor&>(d);
            BrowserParts ui(w);
            w.show();
            QApplication::setActiveWindow(&w);
            w.activateWindow();
            body(w);
            const int r = w.result();
            w.hide();
            return r;
        };
        ui().bsSkinButton4->click();
        return 0;
    }
    static QStringList namesIn(const TLibQuery& q) {
        QStringList n;
        for (int i = 0; i < q.RecordCount(); ++i)
            n << q.DisplayText(i, TLibQuery::fName);
        return n;
    }
    std::vector<StoreRow> before;
};

TEST_F(Browser, ListsEveryRowInItsOwnColourAndLoadsTheCurrentOne) {
    int result = -1;
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("颜色库"));
        EXPECT_EQ(ui.client->size(), QSize(554, 360));
        EXPECT_EQ(ui.dbgColors->geometry(), QRect(8, 32, 537, 281));
        EXPECT_EQ(ui.bsSkinDBNavigator1->geometry(), QRect(6, 4, 230, 20));
        QStringList titles;
        for (int c = 0; c < 6; ++c)
            titles << ui.dbgColors->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(titles, (QStringList{"编号", "名称", "红", "绿", "蓝", "注释"}));
        ASSERT_EQ(ui.dbgColors->model()->rowCount(), 5);
        // Row 2 in its colour; the current cell (row 0, column 0) reversed.
        EXPECT_EQ(QColor(pixelOfCell(ui.dbgColors, 1, 2)), QColor(204, 0, 0));
        EXPECT_EQ(QColor(pixelOfCell(ui.dbgColors, 0, 0)), QColor(0, 255, 255));
        EXPECT_EQ(QColor(pixelOfCell(ui.dbgColors, 0, 1)), QColor(255, 0, 0));
        // Blue 300 is painted as 44.
        EXPECT_EQ(QColor(pixelOfCell(ui.dbgColors, 4, 3)), QColor(0, 0, 44));
        const QStringList hints = {"FirstRecord",  "PriorRecord",  "NextRecord", "LastRecord",
                                   "InsertRecord", "DeleteRecord", "EditRecord", "PostEdit",
                                   "CancelEdit",   "RefreshRecord"};
        const bool enabled[] = {false, false, true, true, true, true, true, false, false, true};
        for (int b = 0; b < 10; ++b) {
            EXPECT_EQ(ui.nav(b)->toolTip(), hints[b]);
            EXPECT_EQ(ui.nav(b)->isEnabled(), enabled[b]) << b;
            EXPECT_EQ(ui.nav(b)->width(), 23);
        }
        ui.nav(TbsSkinDBNavigator::nbLast)->click();
        EXPECT_EQ(ui.dbgColors->currentIndex().row(), 4);
        EXPECT_FALSE(ui.nav(TbsSkinDBNavigator::nbNext)->isEnabled());
        ui.bsSkinButton1->click();
        result = w.result();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(main->CurrentColour(), (TRGB{0, 0, 44}));
    EXPECT_EQ(ui().edtHC->text(), QStringLiteral("00002C"));
    EXPECT_EQ(rows(), before);
}

TEST_F(Browser, RowsOfMidTonesAreLegible) {
    addRow(QStringLiteral("808080"), 0x80, 0x80, 0x80);
    addRow(QStringLiteral("Celadon Blue"), 0x4A, 0x90, 0xA4);
    addRow(QStringLiteral("Persian Green"), 0x00, 0xA6, 0x93);
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        for (int row = 5; row < 8; ++row) {
            const QRect cell = g->visualRect(g->model()->index(row, TLibQuery::fName));
            EXPECT_GE(TextContrast(g->viewport()->grab().toImage(), cell), 3.0) << row;
            // The current cell, drawn reversed.
            g->setCurrentIndex(g->model()->index(row, TLibQuery::fName));
            EXPECT_GE(TextContrast(g->viewport()->grab().toImage(), cell), 3.0) << row;
        }
        key(&w, Qt::Key_Escape);
    });
}

TEST_F(Browser, SearchByTheEndOfTheName) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        auto names = [&] { return namesIn(*ui.adoqLib); };
        ui.edtKeyword->setText(QStringLiteral("红"));
        ui.bsSkinButton3->click();
        EXPECT_EQ(names(), (QStringList{"红", "大红"}));
        ui.edtKeyword->setText(QString());
        ui.bsSkinButton3->click();
        EXPECT_EQ(names(), (QStringList{"红", "大红"})) << "an empty keyword changes nothing";
        ui.edtKeyword->setText(QStringLiteral("大"));
        ui.bsSkinButton3->click();
        EXPECT_TRUE(names().isEmpty());
        EXPECT_EQ(ui.dbgColors->model()->rowCount(), 1) << "one empty row all the same";
        EXPECT_EQ(QColor(pixelOfCell(ui.dbgColors, 0, 1)), QColor(0, 0, 0));
        ui.edtKeyword->setText(QStringLiteral("'Neil"));
        ui.bsSkinButton3->click();
        EXPECT_EQ(names(), QStringList{"O'Neil"});
        ui.bsSkinButton4->click();
        EXPECT_EQ(names().size(), 5);
        // Enter in the keyword field presses "确定", not "查找".
        ui.edtKeyword->setText(QStringLiteral("红"));
        key(&w, Qt::Key_Return);
        EXPECT_EQ(w.result(), 1);
    });
    EXPECT_TRUE(ts.errors.messages.isEmpty()) << ts.errors.messages.join('\n').toStdString();
    EXPECT_EQ(main->CurrentColour(), (TRGB{255, 0, 0}));
}

TEST_F(Browser, EachRowShowsItsCodeAfterBlueAndACodeFindsItsColour) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        const QHeaderView* header = ui.dbgColors->horizontalHeader();
        QStringList shown;
        for (int v = 0; v < header->count(); ++v)
            shown << ui.dbgColors->model()
                         ->headerData(header->logicalIndex(v), Qt::Horizontal)
                         .toString();
        EXPECT_EQ(shown, (QStringList{"编号", "名称", "红", "绿", "蓝", "代码", "注释"}));
        const int code = header->logicalIndex(5);
        auto codeOf = [&](int row) {
            return ui.dbgColors->model()->index(row, code).data().toString();
        };
        EXPECT_EQ(codeOf(1), QStringLiteral("CC0000"));
        EXPECT_EQ(codeOf(4), QStringLiteral("00002C")) << "the colour the row is painted in";
        EXPECT_FALSE(ui.dbgColors->model()->index(1, code).flags() & Qt::ItemIsEditable);
        // A change being typed shows in the code at once.
        ui.adoqLib->SetFieldText(TLibQuery::fRVal, QStringLiteral("17"));
        EXPECT_EQ(codeOf(0), QStringLiteral("110000"));
        ui.adoqLib->Cancel();

        auto names = [&] { return namesIn(*ui.adoqLib); };
        ui.edtKeyword->setText(QStringLiteral("#008000"));
        ui.bsSkinButton3->click();
        EXPECT_EQ(names(), QStringList{"O'Neil"});
        ui.edtKeyword->setText(QStringLiteral("cc0000"));
        ui.bsSkinButton3->click();
        EXPECT_EQ(names(), QStringList{"大红"});
    });
    EXPECT_TRUE(ts.errors.messages.isEmpty()) << ts.errors.messages.join('\n').toStdString();
    EXPECT_EQ(rows(), before);
}

TEST_F(Browser, TheHistoryGridNamesItsCodesAndGoesIntoTheLibraryWhole) {
    TbsSkinDrawGrid* grid = Child<TbsSkinDrawGrid>(*main, "sdgHistory");
    QMenu* menu = Child<QMenu>(*main, "mnuHistory");
    QAction* all = Child<QAction>(*main, "aHistoryToLibrary");
    main->show();
    auto rightClick = [&] {
        const QPoint at = grid->CellRect(0, 0).center();
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &e);
        EXPECT_TRUE(menu->isVisible());
    };
    rightClick();
    EXPECT_FALSE(all->isEnabled()) << "nothing picked yet";
    menu->hide();

    main->TakeColour({204, 0, 0});
    main->TakeColour({1, 2, 3});
    const QPoint cell = grid->CellRect(1, 0).center();
    QHelpEvent hint(QEvent::ToolTip, cell, grid->mapToGlobal(cell));
    QApplication::sendEvent(grid, &hint);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("010203\n")))
        << QToolTip::text().toStdString();

    rightClick();
    ASSERT_TRUE(all->isEnabled());
    all->trigger();
    menu->hide();
    ASSERT_FALSE(msg.calls.empty());
    EXPECT_EQ(msg.calls.back().text, QStringLiteral("添加了 1 个颜色；1 个颜色库中已有"));
    std::vector<StoreRow> want = before;
    want.push_back({6, QStringLiteral("010203"), 1, 2, 3, QStringLiteral("来自取色历史")});
    EXPECT_EQ(rows(), want);

    // The same from the browser, whose list then shows the colour added.
    main->TakeColour({0x11, 0x22, 0x33});
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        Child<QPushButton>(w, "btnHistoryToLibrary")->click();
        EXPECT_EQ(msg.calls.back().text, QStringLiteral("添加了 1 个颜色；2 个颜色库中已有"));
        EXPECT_EQ(ui.adoqLib->RecordCount(), 7);
    });
    EXPECT_TRUE(ts.errors.messages.isEmpty()) << ts.errors.messages.join('\n').toStdString();
}

TEST_F(Browser, DeleteAsksFirstAndKeepsTheRowOnCancel) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        msg.answer = 2;
        ui.nav(TbsSkinDBNavigator::nbDelete)->click();
        ASSERT_EQ(msg.calls.size(), 1u);
        EXPECT_EQ(msg.calls[0].text, QStringLiteral("要删除这条记录吗?"));
        EXPECT_EQ(msg.calls[0].kind, mtConfirmation);
        EXPECT_EQ(msg.calls[0].buttons, int(mbOK | mbCancel));
        key(ui.dbgColors, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(msg.calls.size(), 2u);
        EXPECT_EQ(rows(), before);
        msg.answer = 1;
        key(ui.dbgColors, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(rows().size(), 4u);
        ui.nav(TbsSkinDBNavigator::nbNext)->click();
        ui.nav(TbsSkinDBNavigator::nbDelete)->click();
        key(&w, Qt::Key_Escape);
        EXPECT_EQ(w.result(), 7);
    });
    auto expected = before;
    expected.erase(expected.begin() + 2); // 红色, the second row after 红 went
    expected.erase(expected.begin());
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(main->CurrentColour(), (TRGB{1, 2, 3})) << "取消 leaves the colour alone";
}

TEST_F(Browser, InPlaceEditingChecksPostsAndCancels) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(0, 2)); // 红 of the first row
        type(g, QStringLiteral("a"));
        EXPECT_EQ(g->activeEditor(), nullptr) << "letters do not open a numeric cell";
        type(g, QStringLiteral("7"));
        QWidget* editor = g->activeEditor();
        ASSERT_NE(editor, nullptr);
        type(editor, QStringLiteral("0000"));
        EXPECT_EQ(static_cast<QLineEdit*>(editor)->text(), QStringLiteral("70000"));
        key(editor, Qt::Key_Tab);
        ASSERT_EQ(ts.errors.messages.size(), 1);
        EXPECT_EQ(
            ts.errors.messages[0],
            QStringLiteral(
                "70000 is not a valid value for field '红'. The allowed range is 0 to 65535"));
        EXPECT_EQ(g->activeEditor(), editor) << "the editor stays open with the text";
        static_cast<QLineEdit*>(editor)->setText(QStringLiteral("17"));
        key(editor, Qt::Key_Tab);
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsEdit);
        EXPECT_EQ(ui.adoqLib->IntValue(TLibQuery::fRVal), 17);
        EXPECT_TRUE(ui.nav(TbsSkinDBNavigator::nbPost)->isEnabled());
        EXPECT_FALSE(ui.nav(TbsSkinDBNavigator::nbEdit)->isEnabled());
        EXPECT_EQ(rows(), before);
        ui.nav(TbsSkinDBNavigator::nbCancel)->click();
        EXPECT_EQ(ui.adoqLib->IntValue(TLibQuery::fRVal), 255);

        // Name too long for the store: refused at the post, row kept.
        ui.adoqLib->SetFieldText(TLibQuery::fName, QString(21, QLatin1Char('n')));
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        ASSERT_EQ(ts.errors.messages.size(), 2);
        EXPECT_TRUE(ts.errors.messages[1].contains(QStringLiteral("at most 20")));
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsEdit);
        ui.adoqLib->Cancel();

        // Insert, type, post: a new row with an ID from the store.
        key(g, Qt::Key_Insert);
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsInsert);
        g->setCurrentIndex(g->model()->index(ui.adoqLib->RecNo(), 1));
        type(g, QStringLiteral("新"));
        key(g->activeEditor(), Qt::Key_Tab);
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        EXPECT_EQ(rows().size(), 6u);
        EXPECT_EQ(rows().back().name, QStringLiteral("新"));

        // Down on the last record appends; leaving it untouched drops it.
        ui.nav(TbsSkinDBNavigator::nbLast)->click();
        key(g, Qt::Key_Down);
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsInsert);
        ui.nav(TbsSkinDBNavigator::nbFirst)->click();
        EXPECT_EQ(ui.adoqLib->RecordCount(), 6);
        key(&w, Qt::Key_Escape);
    });
    EXPECT_EQ(rows().size(), 6u);
    auto r = rows();
    r.pop_back();
    EXPECT_EQ(r, before);
}

TEST_F(Browser, PostAndCancelTakeWhatIsTypedIntoAnOpenCell) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        auto typeInto = [&](int row, const char* text) {
            g->setFocus();
            g->setCurrentIndex(g->model()->index(row, TLibQuery::fName));
            typeFocused(QString::fromLatin1(text));
            ASSERT_NE(g->activeEditor(), nullptr);
            EXPECT_TRUE(ui.nav(TbsSkinDBNavigator::nbPost)->isEnabled());
            EXPECT_TRUE(ui.nav(TbsSkinDBNavigator::nbCancel)->isEnabled());
        };
        typeInto(1, "Sky");
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        typeInto(2, "Lost");
        ui.nav(TbsSkinDBNavigator::nbCancel)->click();
        EXPECT_EQ(ui.adoqLib->DisplayText(2, TLibQuery::fName), QStringLiteral("红色"));
        // Deleted by another program while the cell is typed into.
        typeInto(3, "Gone");
        sqlite(QStringLiteral("delete from Colors where ID=4;"));
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        key(&w, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    });
    ASSERT_EQ(ts.errors.messages.size(), 1);
    EXPECT_TRUE(ts.errors.messages[0].contains(QStringLiteral("编号为 4 的记录“O'Neil”")))
        << ts.errors.messages[0].toStdString();
    auto expected = before;
    expected[1].name = QStringLiteral("Sky");
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(rows(), expected);
}

TEST_F(Browser, TypedValueIsLoadedByTheMouseButEnterLoadsTheRowAsItWas) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(1, 3)); // 绿 of 大红
        type(g, QStringLiteral("9"));
        ASSERT_NE(g->activeEditor(), nullptr);
        // A click on "确定" first takes the focus from the editor.
        ui.bsSkinButton1->setFocus();
        ui.bsSkinButton1->click();
    });
    EXPECT_EQ(main->CurrentColour(), (TRGB{204, 9, 0}));
    EXPECT_EQ(rows(), before) << "the typed value is never posted";

    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(1, 3));
        type(g, QStringLiteral("9"));
        key(g->activeEditor(), Qt::Key_Return);
        EXPECT_EQ(w.result(), 1);
    });
    EXPECT_EQ(main->CurrentColour(), (TRGB{204, 0, 0}));
    EXPECT_EQ(rows(), before);

    // Enter on the grid itself opens the editor; Esc in the editor is "取消".
    test::TypeColour(*main, {1, 2, 3});
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(2, 1));
        key(g, Qt::Key_Return);
        ASSERT_NE(g->activeEditor(), nullptr);
        EXPECT_EQ(static_cast<QLineEdit*>(g->activeEditor())->text(), QStringLiteral("红色"));
        static_cast<QLineEdit*>(g->activeEditor())->setText(QStringLiteral("changed"));
        key(g->activeEditor(), Qt::Key_Escape);
        EXPECT_EQ(w.result(), 7);
    });
    EXPECT_EQ(main->CurrentColour(), (TRGB{1, 2, 3}));
    EXPECT_EQ(rows(), before);
}

TEST_F(Browser, MovingOffAnUntouchedNewRowDropsIt) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(2, 1));
        key(g, Qt::Key_Insert);
        EXPECT_EQ(g->model()->rowCount(), 6);
        EXPECT_EQ(g->currentIndex().row(), 2);
        // A click on the row below (大红's old place, now 红色 shifted down).
        g->setCurrentIndex(g->model()->index(3, 1));
        EXPECT_EQ(g->model()->rowCount(), 5);
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsBrowse);
        EXPECT_EQ(ui.adoqLib->DisplayText(ui.adoqLib->RecNo(), TLibQuery::fName),
                  QStringLiteral("红色"));
        EXPECT_EQ(g->currentIndex().row(), ui.adoqLib->RecNo());
        // Leaving the grid drops one too.
        key(g, Qt::Key_Insert);
        ui.edtKeyword->setFocus();
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(g, &out);
        EXPECT_EQ(ui.adoqLib->RecordCount(), 5);
        key(&w, Qt::Key_Escape);
    });
    EXPECT_EQ(rows(), before);
    EXPECT_TRUE(ts.errors.messages.isEmpty());
}

TEST_F(Browser, TypingAfterTheListIsRebuiltEditsTheCurrentCellOfTheCurrentRow) {
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        g->setFocus();
        const QRect cell = g->visualRect(g->model()->index(1, TLibQuery::fRVal));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
        ui.nav(TbsSkinDBNavigator::nbInsert)->click();
        typeFocused(QStringLiteral("3"));
        tabFocused();
        typeFocused(QStringLiteral("4"));
        tabFocused();
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsBrowse);

        // Typed text never jumps to a row by its number.
        const int row = ui.adoqLib->RecNo();
        key(g, Qt::Key_Home);
        typeFocused(QStringLiteral("1"));
        EXPECT_EQ(ui.adoqLib->RecNo(), row);
        key(&w, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    });
    auto r = rows();
    ASSERT_EQ(r.size(), before.size() + 1);
    EXPECT_EQ(r.back().r.toInt(), 3);
    EXPECT_EQ(r.back().g.toInt(), 4);
    r.pop_back();
    EXPECT_EQ(r, before);
}

TEST_F(Browser, CellEditorsCountCharactersAndNeverCutTextTheUserDidNotTouch) {
    const QString face = QStringLiteral("😀");
    const QString comment = face.repeated(20) + QString(20, QLatin1Char('a'));
    addRow(QStringLiteral("长"), 1, 1, 1, comment);
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        TbsSkinDBGrid* g = ui.dbgColors;
        const int last = g->model()->rowCount() - 1;
        g->setFocus();
        g->setCurrentIndex(g->model()->index(last, TLibQuery::fComment));
        key(g, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), comment);
        key(editor, Qt::Key_Backtab, Qt::ShiftModifier, QStringLiteral("\t"));
        key(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_EQ(ui.adoqLib->state(), TLibQuery::dsBrowse);

        // A paste of more than fits keeps what fits, in whole characters.
        g->setCurrentIndex(g->model()->index(last, TLibQuery::fComment));
        key(g, Qt::Key_F2);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->end(false);
        QApplication::clipboard()->setText(face.repeated(20));
        key(editor, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
        key(editor, Qt::Key_Up);
        key(&w, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    });
    EXPECT_TRUE(ts.errors.messages.isEmpty()) << ts.errors.messages.join('\n').toStdString();
    EXPECT_EQ(rows().back().comment, comment + face.repeated(10));
}

TEST_F(Browser, ARefusedValueGivesOneMessageAndKeepsItsText) {
    // A real error box is a window of its own: it takes the focus while it
    // shows and gives it back when it closes.
    struct BoxLikeReporter : ErrorReporter {
        QStringList messages;
        void showError(const QString& m) override {
            messages << m;
            QWidget* had = QApplication::activeWindow();
            QDialog box;
            box.show();
            QApplication::setActiveWindow(&box);
            box.setFocus();
            box.hide();
            if (had) QApplication::setActiveWindow(had);
        }
    } box;
    Services services = ts.services();
    services.errors = &box;
    TfrmViewColor w(services, dm, &msg, main.get());
    BrowserParts ui(w);
    w.show();
    QApplication::setActiveWindow(&w);
    TbsSkinDBGrid* g = ui.dbgColors;
    g->setFocus();
    g->setCurrentIndex(g->model()->index(0, TLibQuery::fRVal));
    typeFocused(QStringLiteral("70000"));
    tabFocused();
    EXPECT_EQ(box.messages.size(), 1) << box.messages.join('\n').toStdString();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("70000"));
    EXPECT_EQ(rows(), before);
}

TEST_F(Browser, StoreFailuresNameTheFileSayWhatWasNotDoneAndKeepTheStoresText) {
    lockFromAnotherConnection();
    test::TypeColour(*main, {7, 7, 7});
    ui().bsSkinButton3->click(); // "保存"
    unlock();
    browse([&](TfrmViewColor& w) {
        BrowserParts ui(w);
        ui.edtKeyword->setText(QString(20000, QChar(u'红')));
        ui.bsSkinButton3->click(); // "查找": a keyword longer than the store takes
        ui.bsSkinButton4->click();
        ui.adoqLib->SetFieldText(TLibQuery::fName, QStringLiteral("x"));
        lockFromAnotherConnection();
        ui.nav(TbsSkinDBNavigator::nbPost)->click();
        unlock();
        key(&w, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    });
    const QStringList& m = ts.errors.messages;
    ASSERT_EQ(m.size(), 3) << m.join('\n').toStdString();
    const QString file = QDir::toNativeSeparators(storePath());
    const char* said[3][2] = {{"颜色没有保存", "database is locked"},
                              {"没有查找", "pattern too complex"},
                              {"修改没有保存", "database is locked"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(m[i].contains(file)) << m[i].toStdString();
        EXPECT_TRUE(m[i].contains(QString::fromUtf8(said[i][0]))) << m[i].toStdString();
        EXPECT_TRUE(m[i].contains(QString::fromUtf8(said[i][1]))) << m[i].toStdString();
    }
    EXPECT_EQ(rows(), before);
}

// ---- the look ------------------------------------------------------------------

TEST(AirLook, TheScrollThumbOfALongListCanBeDragged) {
    TestServices ts;
    struct Bar : QScrollBar {
        using QScrollBar::initStyleOption;
        using QScrollBar::QScrollBar;
    };
    QWidget window;
    window.setStyleSheet(ts.skin.styleSheet);
    window.resize(40, 300);
    Bar bar(Qt::Vertical, &window);
    bar.setGeometry(0, 0, 19, 289);
    bar.setRange(0, 100000);
    bar.setPageStep(13);
    window.show();
    for (int start : {0, 100000 / 2, 100000}) {
        bar.setValue(start);
        QStyleOptionSlider opt;
        bar.initStyleOption(&opt);
        const QRect thumb = bar.style()->subControlRect(QStyle::CC_ScrollBar, &opt,
                                                        QStyle::SC_ScrollBarSlider, &bar);
        const QPoint from = thumb.center();
        const QPoint to = from + QPoint(0, start == 0 ? 60 : -60);
        QTest::mousePress(&bar, Qt::LeftButton, {}, from);
        QTest::mouseMove(&bar, from + (to - from) / 2);
        QTest::mouseMove(&bar, to);
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, to);
        EXPECT_GT(std::abs(bar.value() - start), 10000) << "from " << start;
    }
}
