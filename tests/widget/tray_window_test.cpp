// The main window's tray behaviour: its menus and their marks, the actions,
// minimising into the tray and coming back by a click on the icon.
#include "app/TrayIcon.h"
#include "app/mainRGB.h"
#include "colour/ColorDialog.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
#include "support/MainParts.h"
#include "support/TestServices.h"
#include "windows/About.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace tp {
namespace {

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QStringList texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

struct TrayWindowTest : ::testing::Test {
    test::TestServices fakes;
    std::unique_ptr<TfrmMain> main;

    void SetUp() override {
        main = std::make_unique<TfrmMain>(fakes.services());
        main->show();
    }
    bool onTop() const { return main->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    test::MainParts ui() const { return test::MainParts(main.get()); }
    // A single click on the icon as the tray window reports it, then the
    // wait for the double-click time.
    void clickIcon() {
        TrayClick& m = ui().bsTrayIcon1->clickMachine();
        m.leftDown();
        m.leftUp();
        waitMs(m.interval() + 150);
    }
};

TEST_F(TrayWindowTest, IconAndMenusAreBuiltAsTheUserSeesThem) {
    TbsTrayIcon* icon = ui().bsTrayIcon1;
    EXPECT_TRUE(icon->iconVisible()) << "shown from the main window's creation";
    EXPECT_EQ(icon->systemTrayIcon()->toolTip(), QStringLiteral("Tintpick"));
    EXPECT_FALSE(icon->systemTrayIcon()->icon().isNull());
    EXPECT_EQ(icon->systemTrayIcon()->contextMenu(), ui().bsSkinPopupMenu1);

    EXPECT_EQ(texts(ui().bsSkinPopupMenu1->actions()),
              (QStringList{"显示", "隐藏", "取色(&P)", "取色快捷键(&K)…", "颜色库位置(&L)…", "-",
                           "总在最上", "-", "关于(&A)", "退出"}));
    EXPECT_EQ(ui().bsSkinPopupMenu1->defaultAction(), nullptr);
    ASSERT_TRUE(ui().N6->actionGroup());
    EXPECT_TRUE(ui().N6->actionGroup()->isExclusive()) << "drawn with a radio mark";
    EXPECT_EQ(ui().N7->actionGroup(), nullptr) << "an ordinary check mark";

    std::unique_ptr<QMenu> sys(ui().bsfMain->buildSystemMenu(nullptr));
    const QStringList sysTexts = texts(sys->actions());
    EXPECT_EQ(sysTexts,
              (QStringList{"最小化(&N)", "总在最上", "取色快捷键(&K)…", "-", "关闭(&C)"}));
}

TEST_F(TrayWindowTest, ShowAndHideAreEnabledByVisibilityWhenTheMenuOpens) {
    emit ui().bsSkinPopupMenu1->aboutToShow();
    EXPECT_FALSE(ui().aShow->isEnabled());
    EXPECT_TRUE(ui().aHide->isEnabled());

    ui().aHide->trigger();
    EXPECT_FALSE(main->isVisible());
    emit ui().bsSkinPopupMenu1->aboutToShow();
    EXPECT_TRUE(ui().aShow->isEnabled());
    EXPECT_FALSE(ui().aHide->isEnabled());

    ui().aShow->trigger();
    EXPECT_TRUE(main->isVisible());
}

TEST_F(TrayWindowTest, StayOnTopTogglesOnlyTheMainWindowAndBothMarks) {
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(ui().actStayOnTop->isChecked());
    EXPECT_TRUE(ui().N6->isChecked());
    EXPECT_TRUE(ui().N7->isChecked());
    main->move(120, 80);
    const QPoint before = main->pos();

    QWidget other(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    ui().N7->trigger(); // from the system menu
    EXPECT_FALSE(onTop());
    EXPECT_FALSE(ui().actStayOnTop->isChecked());
    EXPECT_FALSE(ui().N6->isChecked());
    EXPECT_FALSE(ui().N7->isChecked());
    EXPECT_TRUE(main->isVisible()) << "shown again after the flag change";
    EXPECT_EQ(main->pos(), before);
    EXPECT_TRUE(other.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    ui().N6->trigger(); // from the tray menu
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(ui().N6->isChecked());
    EXPECT_TRUE(ui().N7->isChecked());
    EXPECT_EQ(main->pos(), before);

    // Toggled while hidden, the window stays hidden.
    main->hide();
    ui().actStayOnTop->trigger();
    EXPECT_FALSE(onTop());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(TrayWindowTest, WithoutATrayHostMinimiseKeepsTheWindowReachable) {
    fakes.tray.present = false;
    ui().bsfMain->minimize();
    EXPECT_TRUE(main->isVisible()) << "a hidden window could not be brought back";
    EXPECT_FALSE(ui().bsTrayIcon1->MinimizeToTray());
}

TEST_F(TrayWindowTest, MinimiseGoesToTheTrayAndAClickBringsItBack) {
    ui().bsfMain->minimize();
    EXPECT_FALSE(main->isVisible()) << "no taskbar entry is left";
    EXPECT_TRUE(ui().bsTrayIcon1->MinimizeToTray());
    EXPECT_TRUE(ui().bsTrayIcon1->iconVisible());

    // "显示" brings it back but keeps the window bound to the tray.
    ui().aShow->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(ui().bsTrayIcon1->MinimizeToTray());

    ui().bsfMain->minimize();
    TrayClick& m = ui().bsTrayIcon1->clickMachine();
    m.leftDown();
    m.leftUp();
    EXPECT_FALSE(main->isVisible()) << "not before the double-click time";
    waitMs(m.interval() + 150);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_FALSE(ui().bsTrayIcon1->MinimizeToTray());
}

TEST_F(TrayWindowTest, DoubleClickRestoresOnceAndClickWhileVisibleChangesNothing) {
    ui().aHide->trigger();
    int shows = 0;
    struct ShowCounter : QObject {
        int* n;
        explicit ShowCounter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) ++*n;
            return false;
        }
    } counter(&shows);
    main->installEventFilter(&counter);
    TrayClick& m = ui().bsTrayIcon1->clickMachine();
    m.leftDown();
    m.leftUp();
    m.leftDown();
    m.leftDoubleClick();
    m.leftUp();
    EXPECT_TRUE(main->isVisible()) << "a double click restores at once";
    waitMs(m.interval() + 150);
    EXPECT_EQ(shows, 1);

    main->move(40, 50);
    const QPoint at = main->pos();
    clickIcon();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->pos(), at);
    EXPECT_TRUE(onTop());
    EXPECT_EQ(shows, 1) << "already shown: no second showing";
    main->removeEventFilter(&counter);
}

TEST_F(TrayWindowTest, AboutOpensFromTheTrayMenuWhileHiddenFreshEachTime) {
    ui().aHide->trigger();
    QAction* about = ui().bsSkinPopupMenu1->findChild<QAction*>(QStringLiteral("N9"));
    ASSERT_TRUE(about);
    int created = 0, destroyed = 0;
    QStringList versions;
    auto closeWhenShown = [&] {
        QTimer::singleShot(50, [&] {
            ASSERT_TRUE(frmAbout);
            ++created;
            versions << test::Child<QLabel>(frmAbout, "lblVersion")->text();
            QObject::connect(frmAbout, &QObject::destroyed, [&] { ++destroyed; });
            test::Child<QPushButton>(frmAbout, "bsSkinButton1")->click();
        });
    };
    closeWhenShown();
    about->trigger();
    EXPECT_EQ(frmAbout, nullptr);
    closeWhenShown();
    ui().bsSkinButton5->click();
    EXPECT_EQ(created, 2);
    EXPECT_EQ(destroyed, 2) << "destroyed after each showing";
    EXPECT_EQ(versions, (QStringList{"版本 1.2.0", "版本 1.2.0"}));
    EXPECT_FALSE(main->isVisible()) << "the About window does not show the main window";
}

TEST_F(TrayWindowTest, WithoutATrayTheWindowIsNeverLeftHidden) {
    fakes.tray.present = false;
    ui().bsfMain->minimize();
    EXPECT_TRUE(main->isMinimized()) << "an ordinary minimise";
    EXPECT_TRUE(main->isVisible()) << "still reachable from the taskbar";
    EXPECT_FALSE(ui().bsTrayIcon1->MinimizeToTray());
    main->showNormal();

    // The tray host goes away while the window is in the tray.
    fakes.tray.present = true;
    ui().bsTrayIcon1->SetHostCheckInterval(20);
    ui().bsfMain->minimize();
    ASSERT_FALSE(main->isVisible());
    fakes.tray.present = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->isVisible(); }, 10000));
    EXPECT_FALSE(ui().bsTrayIcon1->MinimizeToTray());
}

TEST_F(TrayWindowTest, TrayAnswersWhileAModalWindowIsOpen) {
    // Qt draws the tray icon in a small window of its own, owned by no other
    // window; a modal window must not shut it (and its menu) off.
    QWidget trayWindow(nullptr, Qt::Window | Qt::FramelessWindowHint);
    trayWindow.setGeometry(900, 700, 24, 24);
    trayWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&trayWindow));
    int presses = 0;
    struct PressCounter : QObject {
        int* n;
        explicit PressCounter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) ++*n;
            return false;
        }
    } counter(&presses);
    trayWindow.installEventFilter(&counter);
    auto clickTray = [&] {
        QTest::mouseClick(trayWindow.windowHandle(), Qt::LeftButton, {}, {5, 5});
    };

    int duringAbout = -1, duringDialog = -1;
    QTimer::singleShot(50, [&] {
        ASSERT_TRUE(frmAbout && frmAbout->isVisible());
        clickTray();
        duringAbout = presses;
        test::Child<QPushButton>(frmAbout, "bsSkinButton1")->click();
    });
    ui().bsSkinButton5->click();
    EXPECT_EQ(duringAbout, 1) << "About";

    QTimer::singleShot(50, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog && dialog->objectName() == QStringLiteral("bsColorDialog"));
        clickTray();
        duringDialog = presses;
        test::Child<QPushButton>(dialog, "btnCancel")->click();
    });
    ui().bsSkinButton2->click();
    EXPECT_EQ(duringDialog, 2) << "colour dialog";
}

} // namespace
} // namespace tp
