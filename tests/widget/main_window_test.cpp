#include "app/ErrorBox.h"
#include "app/mainRGB.h"
#include "base/AppInfo.h"
#include "colour/CodeEdit.h"
#include "colour/ColorText.h"
#include "colour/Swatch.h"
#include "colour/TrackEdit.h"
#include "platform/Clipboard.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"
#include "support/X11Keys.h"
#include "windows/About.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tp;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TfrmMain>(fakes.services());
        main->show();
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    void typeCode(const QString& s) {
        ui().edtHC->setFocus();
        ui().edtHC->selectAll();
        test::KeyClick(ui().edtHC, Qt::Key_Delete);
        QTest::keyClicks(ui().edtHC, s);
    }
    TRGB swatch() const { return ui().lblColor->color(); }
    test::MainParts ui() const { return test::MainParts(main.get()); }
    TRGB current() const { return main->CurrentColour(); }

    test::TestServices fakes;
    std::unique_ptr<TfrmMain> main;
};

TEST_F(MainWindowTest, StartsWhiteAtTheTopLeftWithItsCaption) {
    EXPECT_EQ(current(), (TRGB{255, 255, 255}));
    EXPECT_EQ(ui().edtR->Value(), 255);
    EXPECT_EQ(ui().edtHC->text(), "FFFFFF");
    EXPECT_EQ(swatch(), (TRGB{255, 255, 255}));
    EXPECT_EQ(ui().lblColor->fontColor(), (TRGB{0, 0, 0}));
    EXPECT_EQ(main->windowTitle(), "Tintpick V1.2.0");
    EXPECT_EQ(main->pos(), QPoint(0, 0));
    EXPECT_TRUE(main->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(ui().bsfMain->client()->size(), QSize(349, 179));
}

TEST_F(MainWindowTest, ComponentsStandAtTheirPositionsWithTheirCaptions) {
    const struct {
        QWidget* w;
        QRect r;
        const char* caption;
    } expected[] = {
        {ui().bsSkinGroupBox1, {4, 2, 200, 141}, "手工调色"},
        {ui().edtR, {16, 23, 49, 20}, nullptr},
        {ui().edtG, {81, 23, 48, 20}, nullptr},
        {ui().edtB, {145, 23, 48, 20}, nullptr},
        {ui().bsSkinStdLabel4, {7, 54, 74, 13}, "十六进制     #"},
        // Its width follows the font (CodeEditShowsEveryDigitOfTheWidestCode).
        {ui().edtHC, {81, 50, ui().edtHC->width(), 20}, nullptr},
        {ui().bsSkinButton7, {143, 49, 50, 22}, "复制"},
        {ui().bsSkinPanel1, {7, 76, 186, 25}, nullptr},
        {ui().sdgHistory, {6, 4, 176, 18}, nullptr},
        {ui().bsSkinButton8, {7, 108, 52, 25}, "安全色"},
        {ui().bsSkinButton2, {64, 108, 39, 25}, "高级"},
        {ui().bsSkinButton3, {109, 108, 39, 25}, "保存"},
        {ui().bsSkinButton4, {154, 108, 39, 25}, "加载"},
        {ui().gpSnag, {208, 2, 137, 142}, "自动采集"},
        {ui().pbCaptureScreen, {4, 21, 128, 96}, nullptr},
        {ui().lblMousePos, {5, 122, 97, 13}, "X：0 , Y：0"},
        {ui().pnlColor, {96, 104, 36, 34}, nullptr},
        {ui().lblColor, {1, 1, 34, 32}, nullptr},
        {ui().lblLink, {11, 154, 136, 17}, nullptr},
        {ui().bsSkinButton11, {147, 149, 45, 25}, "测距"},
        {ui().bsSkinButton6, {197, 149, 45, 25}, "资料"},
        {ui().bsSkinButton5, {247, 149, 45, 25}, "关于"},
        {ui().bsSkinButton1, {298, 149, 45, 25}, "退出"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(e.w->geometry(), e.r) << e.w->objectName().toStdString();
        if (!e.caption) continue;
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(e.w))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(e.w))
            text = l->text();
        else if (auto* g = qobject_cast<QGroupBox*>(e.w))
            text = g->title();
        EXPECT_EQ(text, QString::fromUtf8(e.caption)) << e.w->objectName().toStdString();
    }
    EXPECT_EQ(ui().edtHC->maxLength(), 6);
    EXPECT_EQ(ui().edtHC->toolTip(), "输入十六进制颜色值");
    EXPECT_EQ(ui().sdgHistory->toolTip(), "历史颜色存储槽\r\n记录采集过的颜色");
    EXPECT_EQ(ui().lblColor->toolTip().split(QLatin1Char('\n')),
              (QStringList{"在这里按下鼠标左键并拖动", "到想要吸取的颜色区域,", "确定后松开鼠标"}));
    EXPECT_EQ(ui().bsSkinButton5->toolTip(), "关于本软件");
    EXPECT_EQ(ui().lblColor->cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(ui().bsSkinButton1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(ui().bsSkinButton8->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowTest, TabOrderStartsAtTheExitButtonAndEndsAtTheRuler) {
    const QWidget* order[] = {ui().bsSkinButton1, ui().bsSkinButton2, ui().edtR,
                              ui().edtG,          ui().edtB,          ui().sdgHistory,
                              ui().edtHC,         ui().bsSkinButton7, ui().bsSkinButton8,
                              ui().bsSkinButton4, ui().bsSkinButton3, ui().bsSkinButton5,
                              ui().bsSkinButton6, ui().bsSkinButton11};
    ui().bsSkinButton1->setFocus(Qt::TabFocusReason);
    for (size_t i = 0; i < std::size(order); ++i) {
        EXPECT_EQ(QApplication::focusWidget(), order[i])
            << i << " " << QApplication::focusWidget()->objectName().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), order[0]); // and round again
}

TEST_F(MainWindowTest, TypedCodeSetsChannelsAndKeepsItsCase) {
    typeCode("1a2b3c");
    EXPECT_EQ(current(), (TRGB{26, 43, 60}));
    EXPECT_EQ(ui().edtR->Value(), 26);
    EXPECT_EQ(ui().edtG->Value(), 43);
    EXPECT_EQ(ui().edtB->Value(), 60);
    EXPECT_EQ(swatch(), (TRGB{26, 43, 60}));
    EXPECT_EQ(ui().edtHC->text(), "1a2b3c"); // kept until a refresh rewrites it
    ui().bsSkinButton8->click();             // the snap refreshes every view
    EXPECT_EQ(current(), (TRGB{51, 51, 51}));
    EXPECT_EQ(ui().edtHC->text(), "333333");
}

TEST_F(MainWindowTest, ShortCodeChangesNothingUntilComplete) {
    typeCode("1A2B3C");
    ui().edtHC->end(false);
    QTest::keyClick(ui().edtHC, Qt::Key_Backspace);
    EXPECT_EQ(ui().edtHC->text(), "1A2B3");
    EXPECT_EQ(current(), (TRGB{26, 43, 60}));
    QTest::keyClicks(ui().edtHC, "D");
    EXPECT_EQ(current(), (TRGB{26, 43, 61}));
    EXPECT_EQ(ui().edtB->Value(), 61);
}

TEST_F(MainWindowTest, CodeKeyFilterDiscardsSilently) {
    typeCode("12");
    for (const char* s : {"g", "#", " ", "Z", "-"})
        QTest::keyClicks(ui().edtHC, s);
    EXPECT_EQ(ui().edtHC->text(), "12");
    EXPECT_EQ(fakes.beeper.count, 0);
    // Digits, backspace and Enter pass.
    test::KeyClick(ui().edtHC, Qt::Key_X);
    EXPECT_EQ(ui().edtHC->text(), "12");
    test::KeyClick(ui().edtHC, Qt::Key_F);
    EXPECT_EQ(ui().edtHC->text(), "12f");
    test::KeyClick(ui().edtHC, Qt::Key_Backspace);
    EXPECT_EQ(ui().edtHC->text(), "12");
    test::KeyClick(ui().edtHC, Qt::Key_Return);
    EXPECT_EQ(ui().edtHC->text(), "12");
}

TEST_F(MainWindowTest, PasteIntoTheCodeIsTakenWholeOrNotAtAll) {
    // Pasted through the system clipboard, as Shift+Insert does for a user.
    QtClipboard system;
    Services services = fakes.services();
    services.clipboard = &system;
    main = std::make_unique<TfrmMain>(services);
    auto paste = [&](const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        ui().edtHC->setFocus();
        ui().edtHC->selectAll(); // over the code shown
        QTest::keyClick(ui().edtHC, Qt::Key_Insert, Qt::ShiftModifier);
    };
    test::TypeColour(*main, {0xCF, 0, 0});
    fakes.errors.messages.clear();

    paste(QStringLiteral("ab cd ef"));
    EXPECT_EQ(current(), (TRGB{0xCF, 0, 0}));
    EXPECT_EQ(ui().edtHC->text(), "CF0000");
    ASSERT_EQ(fakes.errors.messages.size(), 1);
    EXPECT_TRUE(fakes.errors.messages[0].contains(QStringLiteral("#RRGGBB")))
        << fakes.errors.messages[0].toStdString();
    // Six characters that are no code, however they arrive, change nothing.
    ui().edtHC->setText(QStringLiteral("AB12ZZ"));
    EXPECT_EQ(current(), (TRGB{0xCF, 0, 0}));
    EXPECT_EQ(ui().edtHC->text(), "CF0000");
    EXPECT_EQ(fakes.errors.messages.size(), 2);

    // What plainly is a colour is understood, blanks around it or not.
    const std::pair<const char*, TRGB> pastes[] = {{" #abcdef ", {0xAB, 0xCD, 0xEF}},
                                                   {"#ABC", {0xAA, 0xBB, 0xCC}},
                                                   {"\t0A0B0C\n", {10, 11, 12}},
                                                   {"rgb(1, 2, 3)", {1, 2, 3}}};
    for (const auto& [text, rgb] : pastes) {
        paste(QString::fromLatin1(text));
        EXPECT_EQ(current(), rgb) << text;
        EXPECT_EQ(ui().edtHC->text().toStdString(), HexCode(rgb)) << text;
        EXPECT_EQ(ui().edtG->Value(), rgb.g) << text;
        EXPECT_EQ(swatch(), rgb) << text;
    }
    EXPECT_EQ(fakes.errors.messages.size(), 2);
}

TEST_F(MainWindowTest, ChannelEditRefreshesSwatchAndCodeWithoutLooping) {
    QSignalSpy r(ui().edtR, &TbsSkinTrackEdit::changed);
    QSignalSpy g(ui().edtG, &TbsSkinTrackEdit::changed);
    QSignalSpy code(ui().edtHC, &QLineEdit::textChanged);
    ui().edtR->setFocus();
    ui().edtR->selectAll();
    QTest::keyClicks(ui().edtR, "16");
    EXPECT_EQ(current(), (TRGB{16, 255, 255}));
    EXPECT_EQ(ui().edtHC->text(), "10FFFF");
    EXPECT_EQ(swatch(), (TRGB{16, 255, 255}));
    EXPECT_EQ(r.count(), 2);    // one per keystroke
    EXPECT_EQ(g.count(), 0);    // the other edits are not touched
    EXPECT_EQ(code.count(), 2); // "01FFFF", then "10FFFF"
}

TEST_F(MainWindowTest, AppliedPickRaisesEachChangedEditOnce) {
    QSignalSpy r(ui().edtR, &TbsSkinTrackEdit::changed);
    QSignalSpy g(ui().edtG, &TbsSkinTrackEdit::changed);
    QSignalSpy b(ui().edtB, &TbsSkinTrackEdit::changed);
    QSignalSpy code(ui().edtHC, &QLineEdit::textChanged);
    main->TakeColour({10, 255, 12});
    EXPECT_EQ(current(), (TRGB{10, 255, 12}));
    EXPECT_EQ(r.count(), 1);
    EXPECT_EQ(g.count(), 0); // text unchanged: nothing raised
    EXPECT_EQ(b.count(), 1);
    EXPECT_EQ(code.count(), 1);
    EXPECT_EQ(ui().edtHC->text(), "0AFF0C");
    EXPECT_EQ(swatch(), (TRGB{10, 255, 12}));
    // Its inverse, F500F3, would stand out by 2.5:1 only.
    EXPECT_EQ(ui().lblColor->fontColor(), (TRGB{0, 0, 0}));
}

TEST_F(MainWindowTest, APickFromAnotherProcessIsCopiedInTheChosenFormat) {
    fakes.settings.values.insert(QStringLiteral("copy/format"), QStringLiteral("rgb"));
    main = std::make_unique<TfrmMain>(fakes.services());
    main->TakeColour({70, 130, 180});
    EXPECT_EQ(fakes.clipboard.text(), "rgb(70, 130, 180)");
}

TEST_F(MainWindowTest, WebSafeSnap) {
    test::TypeColour(*main, {25, 26, 230});
    ui().bsSkinButton8->click();
    EXPECT_EQ(current(), (TRGB{0, 51, 255}));
    EXPECT_EQ(ui().edtG->Value(), 51);
    EXPECT_EQ(ui().edtHC->text(), "0033FF");
}

TEST_F(MainWindowTest, CopyPutsExactlyTheCodesTextOnTheClipboard) {
    test::TypeColour(*main, {10, 11, 12});
    ui().bsSkinButton7->click();
    EXPECT_EQ(fakes.clipboard.text(), "0A0B0C");
    typeCode("ab");
    ui().bsSkinButton7->click();
    EXPECT_EQ(fakes.clipboard.text(), "ab"); // a partial code is copied as shown
}

TEST_F(MainWindowTest, CopyFormatChosenByRightClickIsKeptForTheNextRun) {
    test::TypeColour(*main, {0xCF, 0, 0});
    auto choose = [&](const char* key) {
        QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(5, 5),
                                ui().bsSkinButton7->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(ui().bsSkinButton7, &right);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        // One entry per format, each showing the colour as it would copy.
        const QList<QAction*> actions = menu->actions();
        const auto formats = std::count_if(actions.begin(), actions.end(),
                                           [](QAction* a) { return a->isCheckable(); });
        ASSERT_EQ(size_t(formats), CopyFormats().size());
        EXPECT_TRUE(
            menu->actions()[0]->text().endsWith(QString::fromStdString(HexCode(current()))));
        for (QAction* a : menu->actions())
            if (a->data().toString() == QLatin1String(key)) a->trigger();
        menu->close();
    };
    choose("rgb");
    EXPECT_EQ(fakes.clipboard.text(), "rgb(207, 0, 0)"); // choosing also copies
    EXPECT_EQ(fakes.settings.values.value(QStringLiteral("copy/format")), "rgb");

    // The next run copies in the chosen format from the start.
    main = std::make_unique<TfrmMain>(fakes.services());
    test::TypeColour(*main, {0x46, 0x82, 0xB4});
    fakes.clipboard.setText({});
    ui().bsSkinButton7->click();
    EXPECT_EQ(fakes.clipboard.text(), "rgb(70, 130, 180)");
    choose("name");
    EXPECT_EQ(fakes.clipboard.text(), "steelblue");
}

TEST_F(MainWindowTest, LinkOpensTheMakersAddress) {
    QTest::mouseClick(ui().lblLink, Qt::LeftButton);
    ASSERT_EQ(fakes.shell.opened.size(), 1);
    EXPECT_EQ(fakes.shell.opened[0], QString::fromUtf8(MakerUrl));
}

TEST_F(MainWindowTest, SystemMenuListsMinimiseAndClose) {
    std::unique_ptr<QMenu> menu(ui().bsfMain->buildSystemMenu(main.get()));
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"最小化(&N)", "总在最上", "取色快捷键(&K)…", "-", "关闭(&C)"}));
    EXPECT_EQ(menu->actions().last()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(ui().bsfMain->minimizeButton()->toolTip(), "最小化");
    EXPECT_EQ(ui().bsfMain->closeButton()->toolTip(), "关闭");
    EXPECT_EQ(ui().bsfMain->menuButton()->toolTip(), "系统菜单");
}

TEST_F(MainWindowTest, CaptionBarDragsTheWindowAndItsButtonsClose) {
    QWidget* caption = ui().bsfMain->captionBar();
    const QPoint grip(150, 10);
    QTest::mousePress(caption, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(40, 30)),
                     caption->mapToGlobal(QPointF(grip + QPoint(40, 30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(caption, &move);
    QTest::mouseRelease(caption, Qt::LeftButton, {}, grip + QPoint(40, 30));
    EXPECT_EQ(main->pos(), QPoint(40, 30));
    ui().bsfMain->closeButton()->click();
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowTest, ExitButtonClosesTheWindow) {
    ui().bsSkinButton1->click();
    EXPECT_FALSE(main->isVisible());
}

TEST_F(MainWindowTest, CodeEditShowsEveryDigitOfTheWidestCode) {
    QLineEdit* code = ui().edtHC;
    EXPECT_LT(code->geometry().right(), ui().bsSkinButton7->geometry().left());
    // Where the first digit stands once the edit has painted the code with the
    // cursor at its end: an edit too narrow scrolls the text to keep the
    // cursor in view, and the first digit moves out on the left.
    auto firstDigitX = [code](const QString& text) {
        code->setText(text);
        code->end(false);
        code->grab(); // a paint settles the scroll position
        code->setCursorPosition(0);
        return code->inputMethodQuery(Qt::ImCursorRectangle).toRectF().left();
    };
    const qreal unscrolled = firstDigitX(QStringLiteral("0"));
    // Whichever glyph of the font is widest, six of it must fit.
    for (const QChar c : QStringLiteral("0123456789ABCDEFabcdef"))
        EXPECT_EQ(firstDigitX(QString(6, c)), unscrolled) << QString(6, c).toStdString();
}

TEST_F(MainWindowTest, DeleteAndShiftDeleteEditEveryEditWithoutABeep) {
    for (QLineEdit* e : {static_cast<QLineEdit*>(ui().edtR), static_cast<QLineEdit*>(ui().edtG),
                         static_cast<QLineEdit*>(ui().edtB), static_cast<QLineEdit*>(ui().edtHC)}) {
        const std::string name = e->objectName().toStdString();
        e->setFocus();
        e->home(false);
        const QString before = e->text();
        test::KeyClick(e, Qt::Key_Delete);
        EXPECT_EQ(e->text(), before.mid(1)) << name;
        e->selectAll();
        test::KeyClick(e, Qt::Key_Delete, Qt::ShiftModifier); // cuts
        EXPECT_EQ(e->text(), "") << name;
    }
    EXPECT_EQ(fakes.beeper.count, 0);
}

TEST_F(MainWindowTest, EveryStandardEditingKeyWorksInTheFourEdits) {
    // Copy and paste meet in the system clipboard, as for a user.
    QtClipboard system;
    Services services = fakes.services();
    services.clipboard = &system;
    main = std::make_unique<TfrmMain>(services);
    main->show();
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Each key as the platform binds it, with the text X11 gives it
    // (Ctrl+V brings "\x16").
    auto press = [](QWidget* e, QKeySequence::StandardKey key) {
        const QList<QKeySequence> bound = QKeySequence::keyBindings(key);
        ASSERT_FALSE(bound.isEmpty()) << int(key);
        const QKeyCombination k = bound.first()[0];
        test::KeyClick(e, k.key(), k.keyboardModifiers());
    };
    for (QLineEdit* e : {static_cast<QLineEdit*>(ui().edtR), static_cast<QLineEdit*>(ui().edtG),
                         static_cast<QLineEdit*>(ui().edtB), static_cast<QLineEdit*>(ui().edtHC)}) {
        const std::string name = e->objectName().toStdString();
        e->setFocus();
        const QString shown = e->text();
        press(e, QKeySequence::SelectAll);
        EXPECT_EQ(e->selectedText(), shown) << name;
        press(e, QKeySequence::Copy);
        EXPECT_EQ(clipboard->text(), shown) << name;
        press(e, QKeySequence::Cut);
        EXPECT_EQ(e->text(), "") << name;
        press(e, QKeySequence::Undo);
        EXPECT_EQ(e->text(), shown) << name;
        press(e, QKeySequence::Redo);
        EXPECT_EQ(e->text(), "") << name;
        clipboard->setText(QStringLiteral("12"));
        press(e, QKeySequence::Paste);
        EXPECT_EQ(e->text(), "12") << name;
        press(e, QKeySequence::DeleteStartOfWord);
        EXPECT_EQ(e->text(), "") << name;
        press(e, QKeySequence::Paste);
        press(e, QKeySequence::SelectAll);
        test::KeyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), "") << name << ": Ctrl+A then Backspace clears it";
    }
    EXPECT_EQ(fakes.beeper.count, 0);
}

TEST_F(MainWindowTest, ARefusedPasteIsSaidInABoxAboveTheWindowCentredAndSkinned) {
    // The program's own error box in place of the fake.
    SkinnedErrorReporter errors(fakes.skin);
    Services services = fakes.services();
    services.errors = &errors;
    main = std::make_unique<TfrmMain>(services);
    errors.setOwner(main.get());
    main->show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Tintpick");
        // Owned by the window it answers, so it stands above one that stays
        // on top.
        EXPECT_EQ(box->parentWidget(), main.get());
        EXPECT_NE(box->findChild<TbsBusinessSkinForm*>(), nullptr) << "skinned";
        auto* text = box->findChild<QLabel*>(QStringLiteral("Message"));
        auto* icon = box->findChild<QLabel*>(QStringLiteral("Image"));
        EXPECT_TRUE(text && text->text().contains("#RRGGBB"));
        EXPECT_TRUE(icon && !icon->pixmap().isNull()) << "the error icon";
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(box->x(), screen.width() / 2 - box->width() / 2);
        EXPECT_EQ(box->y(), screen.height() / 2 - box->height() / 2);
        box->close();
    });
    ui().edtHC->pasteText(QStringLiteral("no colour"));
    EXPECT_TRUE(seen);
}

TEST_F(MainWindowTest, SwatchHintShowsThreeLines) {
    // The hint window is a label; it shows as many lines as Qt breaks.
    QLabel tip(ui().lblColor->toolTip());
    EXPECT_GE(tip.sizeHint().height(), 3 * tip.fontMetrics().lineSpacing());
}

TEST_F(MainWindowTest, LinksOpenOnlyOnALeftReleaseOverThemselves) {
    TfrmAbout about(fakes.services());
    for (QLabel* link :
         {static_cast<QLabel*>(ui().lblLink), static_cast<QLabel*>(about.bsSkinLinkLabel2)}) {
        const QPoint inside(5, 5), outside(link->width() + 40, 5);
        QTest::mouseClick(link, Qt::RightButton, {}, inside);
        QTest::mousePress(link, Qt::LeftButton, {}, inside);
        QTest::mouseRelease(link, Qt::LeftButton, {}, outside); // dragged off
        EXPECT_TRUE(fakes.shell.opened.isEmpty()) << link->objectName().toStdString();
        QTest::mouseClick(link, Qt::LeftButton, {}, inside);
        EXPECT_EQ(fakes.shell.opened.size(), 1) << link->objectName().toStdString();
        fakes.shell.opened.clear();
    }
}

TEST_F(MainWindowTest, HistoryGridShowsWhereTheFocusIs) {
    ui().edtB->setFocus(Qt::TabFocusReason);
    const QImage unfocused = ui().sdgHistory->grab().toImage();
    test::KeyClick(ui().edtB, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ui().sdgHistory);
    EXPECT_NE(ui().sdgHistory->grab().toImage(), unfocused);
}

} // namespace
