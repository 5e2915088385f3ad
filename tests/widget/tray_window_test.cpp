// The main window's tray behaviour: its menus and their marks, the actions,
// minimising into the tray and coming back by a click on the icon.
#include "app/TrayIcon.h"
#include "app/global.h"
#include "app/mainRGB.h"
#include "colour/ColorDialog.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"
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
    // A single click on the icon as the tray window reports it, then the
    // wait for the double-click time.
    void clickIcon() {
        TrayClick& m = main->bsTrayIcon1->clickMachine();
        m.leftDown();
        m.leftUp();
        waitMs(m.interval() + 150);
    }
};

TEST_F(TrayWindowTest, IconAndMenusAreBuiltAsTheUserSeesThem) {
    TbsTrayIcon* icon = main->bsTrayIcon1;
    EXPECT_TRUE(icon->iconVisible()) << "shown from the main window's creation";
    EXPECT_EQ(icon->systemTrayIcon()->toolTip(), QStringLiteral("Tintpick"));
    EXPECT_FALSE(icon->systemTrayIcon()->icon().isNull());
    EXPECT_EQ(icon->systemTrayIcon()->contextMenu(), main->bsSkinPopupMenu1);

    EXPECT_EQ(texts(main->bsSkinPopupMenu1->actions()),
              (QStringList{"显示", "隐藏", "取色(&P)", "颜色库位置(&L)…", "-", "总在最上", "-",
                           "关于(&A)", "退出"}));
    EXPECT_EQ(main->bsSkinPopupMenu1->defaultAction(), nullptr);
    ASSERT_TRUE(main->N6->actionGroup());
    EXPECT_TRUE(main->N6->actionGroup()->isExclusive()) << "drawn with a radio mark";
    EXPECT_EQ(main->N7->actionGroup(), nullptr) << "an ordinary check mark";

    std::unique_ptr<QMenu> sys(main->bsfMain->buildSystemMenu(nullptr));
    const QStringList sysTexts = texts(sys->actions());
    EXPECT_EQ(sysTexts, (QStringList{"最小化(&N)", "总在最上", "-", "关闭(&C)"}));
}

TEST_F(TrayWindowTest, ShowAndHideAreEnabledByVisibilityWhenTheMenuOpens) {
    emit main->bsSkinPopupMenu1->aboutToShow();
    EXPECT_FALSE(main->aShow->isEnabled());
    EXPECT_TRUE(main->aHide->isEnabled());

    main->aHide->trigger();
    EXPECT_FALSE(main->isVisible());
    emit main->bsSkinPopupMenu1->aboutToShow();
    EXPECT_TRUE(main->aShow->isEnabled());
    EXPECT_FALSE(main->aHide->isEnabled());

    main->aShow->trigger();
    EXPECT_TRUE(main->isVisible());
}

TEST_F(TrayWindowTest, StayOnTopTogglesOnlyTheMainWindowAndBothMarks) {
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(main->actStayOnTop->isChecked());
    EXPECT_TRUE(main->N6->isChecked());
    EXPECT_TRUE(main->N7->isChecked());
    main->move(120, 80);
    const QPoint before = main->pos();

    QWidget other(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    main->N7->trigger(); // from the system menu
    EXPECT_FALSE(onTop());
    EXPECT_FALSE(main->actStayOnTop->isChecked());
    EXPECT_FALSE(main->N6->isChecked());
    EXPECT_FALSE(main->N7->isChecked());
    EXPECT_TRUE(main->isVisible()) << "shown again after the flag change";
    EXPECT_EQ(main->pos(), before);
    EXPECT_TRUE(other.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    main->N6->trigger(); // from the tray menu
    EXPECT_TRUE(onTop());
    EXPECT_TRUE(main->N6->isChecked());
    EXPECT_TRUE(main->N7->isChecked());
    EXPECT_EQ(main->pos(), before);

    // Toggled while hidden, the window stays hidden.
    main->hide();
    main->actStayOnTop->trigger();
    EXPECT_FALSE(onTop());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(TrayWindowTest, WithoutATrayHostMinimiseKeepsTheWindowReachable) {
    fakes.tray.present = false;
    main->bsfMain->minimize();
    EXPECT_TRUE(main->isVisible()) << "a hidden window could not be brought back";
    EXPECT_FALSE(main->bsTrayIcon1->MinimizeToTray);
}

TEST_F(TrayWindowTest, MinimiseGoesToTheTrayAndAClickBringsItBack) {
    main->bsfMain->minimize();
    EXPECT_FALSE(main->isVisible()) << "no taskbar entry is left";
    EXPECT_TRUE(main->bsTrayIcon1->MinimizeToTray);
    EXPECT_TRUE(main->bsTrayIcon1->iconVisible());

    // "显示" brings it back but keeps the window bound to the tray.
    main->aShow->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->bsTrayIcon1->MinimizeToTray);

    main->bsfMain->minimize();
    TrayClick& m = main->bsTrayIcon1->clickMachine();
    m.leftDown();
    m.leftUp();
    EXPECT_FALSE(main->isVisible()) << "not before the double-click time";
    waitMs(m.interval() + 150);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(main->isMinimized());
    EXPECT_FALSE(main->bsTrayIcon1->MinimizeToTray);
}

TEST_F(TrayWindowTest, DoubleClickRestoresOnceAndClickWhileVisibleChangesNothing) {
    main->aHide->trigger();
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
    TrayClick& m = main->bsTrayIcon1->clickMachine();
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
    main->aHide->trigger();
    QAction* about = main->bsSkinPopupMenu1->findChild<QAction*>(QStringLiteral("N9"));
    ASSERT_TRUE(about);
    int created = 0, destroyed = 0;
    QStringList versions;
    auto closeWhenShown = [&] {
        QTimer::singleShot(50, [&] {
            ASSERT_TRUE(frmAbout);
            ++created;
            versions << frmAbout->lblVersion->text();
            QObject::connect(frmAbout, &QObject::destroyed, [&] { ++destroyed; });
            frmAbout->bsSkinButton1->click();
        });
    };
    closeWhenShown();
    about->trigger();
    EXPECT_EQ(frmAbout, nullptr);
    closeWhenShown();
    main->bsSkinButton5->click();
    EXPECT_EQ(created, 2);
    EXPECT_EQ(destroyed, 2) << "destroyed after each showing";
    EXPECT_EQ(versions, (QStringList{"版本 1.2.0", "版本 1.2.0"}));
    EXPECT_FALSE(main->isVisible()) << "the About window does not show the main window";
}

TEST_F(TrayWindowTest, WithoutATrayTheWindowIsNeverLeftHidden) {
    fakes.tray.present = false;
    main->bsfMain->minimize();
    EXPECT_TRUE(main->isMinimized()) << "an ordinary minimise";
    EXPECT_TRUE(main->isVisible()) << "still reachable from the taskbar";
    EXPECT_FALSE(main->bsTrayIcon1->MinimizeToTray);
    main->showNormal();

    // The tray host goes away while the window is in the tray.
    fakes.tray.present = true;
    main->bsTrayIcon1->HostCheckMs = 20;
    main->bsfMain->minimize();
    ASSERT_FALSE(main->isVisible());
    fakes.tray.present = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return main->isVisible(); }, 10000));
    EXPECT_FALSE(main->bsTrayIcon1->MinimizeToTray);
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
        frmAbout->bsSkinButton1->click();
    });
    main->bsSkinButton5->click();
    EXPECT_EQ(duringAbout, 1) << "About";

    main->cdlgSelect->RunModal = nullptr; // the dialog's own modal loop
    QTimer::singleShot(50, [&] {
        const TbsSkinColorDialog::Window* w = main->cdlgSelect->window();
        ASSERT_TRUE(w && w->form->isVisible());
        clickTray();
        duringDialog = presses;
        w->btnCancel->click();
    });
    main->bsSkinButton2->click();
    EXPECT_EQ(duringDialog, 2) << "colour dialog";
}

} // namespace
} // namespace tp
