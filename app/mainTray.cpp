// The main window's tray icon, menus and actions, and the windows it opens
// from them: the About window and the colour reference panel.
#include "app/TrayIcon.h"
#include "app/mainRGB.h"
#include "app/mainRGB_p.h"
#include "base/AppInfo.h"
#include "library/LibraryChoice.h"
#include "library/LibraryPlace.h"
#include "platform/ErrorReporter.h"
#include "platform/GlobalShortcut.h"
#include "sampling/Display.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "windows/About.h"
#include "windows/ColorPanel.h"
#include "windows/Shortcut.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace tp {

void TfrmMain::Private::buildActions() {
    auto action = [this](const char* name, const QString& caption) {
        auto* a = new QAction(caption, q);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    aShow = action("aShow", QStringLiteral("显示"));
    aHide = action("aHide", QStringLiteral("隐藏"));
    aExit = action("aExit", QStringLiteral("退出"));
    actStayOnTop = action("actStayOnTop", QStringLiteral("总在最上"));
    actStayOnTop->setCheckable(true);
    actStayOnTop->setChecked(true);
    auto run = [this](void (TfrmMain::Private::*handler)()) {
        return [this, handler] {
            Guarded(*services_.errors, [this, handler] { (this->*handler)(); });
        };
    };
    connect(aShow, &QAction::triggered, q, run(&TfrmMain::Private::aShowExecute));
    connect(aHide, &QAction::triggered, q, run(&TfrmMain::Private::aHideExecute));
    connect(aExit, &QAction::triggered, q, run(&TfrmMain::Private::aExitExecute));
    connect(actStayOnTop, &QAction::triggered, q, run(&TfrmMain::Private::actStayOnTopExecute));

    // The two menu items of actStayOnTop show its state with different
    // marks, so each is an action of its own that forwards to it.
    N6 = action("N6", actStayOnTop->text());
    N6->setCheckable(true);
    auto* radio = new QActionGroup(q);
    radio->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    radio->addAction(N6);
    N7 = action("N7", actStayOnTop->text());
    N7->setCheckable(true);
    for (QAction* item : {N6, N7})
        connect(item, &QAction::triggered, actStayOnTop, &QAction::trigger);
    syncStayOnTopMarks();

    bsSkinPopupMenu1 = new QMenu(q);
    bsSkinPopupMenu1->setObjectName(QStringLiteral("bsSkinPopupMenu1"));
    // The skin's menus draw every mark as a tick; a radio item gets its dot.
    bsSkinPopupMenu1->setStyleSheet(
        QStringLiteral("QMenu::indicator:exclusive:checked { image: url(:/app/menu_radio.png); }"));
    bsSkinPopupMenu1->addAction(aShow); // N1
    bsSkinPopupMenu1->addAction(aHide); // N2
    // A pick on a frozen picture of the whole desktop, reachable while the
    // main window is in the tray.
    QAction* pick = bsSkinPopupMenu1->addAction(QStringLiteral("取色(&P)"));
    pick->setObjectName(QStringLiteral("aPick"));
    connect(pick, &QAction::triggered, q, run(&TfrmMain::Private::StartOverlayPick));
    // The keys of that pick from anywhere, in the tray menu and the window's
    // system menu alike.
    auto* shortcut = action("aShortcut", QStringLiteral("取色快捷键(&K)…"));
    connect(shortcut, &QAction::triggered, q, run(&TfrmMain::Private::aShortcutExecute));
    bsSkinPopupMenu1->addAction(shortcut);
    if (services_.shortcut)
        connect(services_.shortcut, &GlobalShortcut::activated, q,
                run(&TfrmMain::Private::StartShortcutPick));
    // Which colour library "保存" and "加载" use: the local file or a team's.
    QAction* place = bsSkinPopupMenu1->addAction(QStringLiteral("颜色库位置(&L)…"));
    place->setObjectName(QStringLiteral("aLibraryPlace"));
    connect(place, &QAction::triggered, q, [this] {
        Guarded(*services_.errors, [this] {
            if (libraryChoice) ChooseLibraryPlace(services_, *libraryChoice, q, services_.runModal);
        });
    });
    bsSkinPopupMenu1->addSeparator();                                         // N5
    bsSkinPopupMenu1->addAction(N6);                                          // N6
    bsSkinPopupMenu1->addSeparator();                                         // N3
    QAction* about = bsSkinPopupMenu1->addAction(QStringLiteral("关于(&A)")); // N9
    about->setObjectName(QStringLiteral("N9"));
    connect(about, &QAction::triggered, q, run(&TfrmMain::Private::bsSkinButton5Click));
    bsSkinPopupMenu1->addAction(aExit); // N4
    // The enabled states follow the window's visibility at the moment the
    // menu opens.
    connect(bsSkinPopupMenu1, &QMenu::aboutToShow, q, [this] {
        aShowUpdate();
        aHideUpdate();
    });

    auto* N8 = new QAction(q);
    N8->setSeparator(true);
    bsfMain->setUserMenuActions({N7, shortcut, N8});
    bsfMain->setMinimizeHandler([this] { bsTrayIcon1->minimizeToTray(); });

    bsTrayIcon1 = new TbsTrayIcon(q, services_.skin->icon, QApplication::doubleClickInterval(),
                                  services_.tray);
    bsTrayIcon1->setObjectName(QStringLiteral("bsTrayIcon1"));
    bsTrayIcon1->setHint(QString::fromUtf8(ProductName));
    bsTrayIcon1->setPopupMenu(bsSkinPopupMenu1);
    connect(bsTrayIcon1, &TbsTrayIcon::OnClick, q, run(&TfrmMain::Private::bsTrayIcon1Click));
    connect(bsTrayIcon1, &TbsTrayIcon::OnDblClick, q, run(&TfrmMain::Private::bsTrayIcon1Click));
    // The tray host went away (or crashed) while the window was hidden.
    // While the measuring window is open, its closing brings the window back.
    connect(bsTrayIcon1, &TbsTrayIcon::hostLost, q, [this] {
        if (!frmDisplay || !frmDisplay->isVisible()) bsTrayIcon1->restoreFromTray();
    });
}

void TfrmMain::Private::aShowExecute() {
    q->show();
}
void TfrmMain::Private::aShowUpdate() {
    aShow->setEnabled(!q->isVisible());
}
void TfrmMain::Private::aHideExecute() {
    q->hide();
}
void TfrmMain::Private::aHideUpdate() {
    aHide->setEnabled(q->isVisible());
}
void TfrmMain::Private::aExitExecute() {
    q->close();
}
void TfrmMain::Private::bsTrayIcon1Click() {
    bsTrayIcon1->restoreFromTray();
}

void TfrmMain::Private::actStayOnTopExecute() {
    const bool onTop = !q->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    actStayOnTop->setChecked(onTop);
    // Changing a window flag takes the window down; put it back where it
    // was if it was shown.
    const bool shown = q->isVisible();
    const QPoint at = q->pos();
    q->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) {
        q->move(at);
        q->show();
    }
    syncStayOnTopMarks();
}

void TfrmMain::Private::syncStayOnTopMarks() {
    N6->setChecked(actStayOnTop->isChecked());
    N7->setChecked(actStayOnTop->isChecked());
}

void TfrmMain::Private::bsSkinButton5Click() {
    // The tray menu stays live while the window is open; a second "关于"
    // brings it forward instead of running it twice.
    if (frmAbout && frmAbout->isVisible()) {
        frmAbout->raise();
        frmAbout->activateWindow();
        return;
    }
    if (!frmAbout) frmAbout = new TfrmAbout(services_, q);
    // The window is centred on first showing; this only picks the monitor.
    frmAbout->move(q->pos() + QPoint(30, 30));
    frmAbout->exec();
    delete frmAbout;
    frmAbout = nullptr;
}

void TfrmMain::Private::bsSkinButton6Click() {
    if (!frmColorPanel) frmColorPanel = new TfrmColorPanel(services_, q);
    // The top-left corner and the desktop beside it, less the desktop's
    // panels: with none these are the screen's corner and the whole desktop.
    QScreen* primary = QGuiApplication::primaryScreen();
    q->move(primary->availableGeometry().topLeft());
    // A panel the user minimised comes back; a maximised one stays so.
    if (frmColorPanel->isMinimized())
        frmColorPanel->setWindowState(frmColorPanel->windowState() & ~Qt::WindowMinimized);
    if (!frmColorPanel->isMaximized())
        frmColorPanel->PlaceBeside(q->frameGeometry(), primary->availableVirtualGeometry());
    frmColorPanel->show();
    frmColorPanel->raise();
    frmColorPanel->activateWindow();
}

void TfrmMain::Private::aShortcutExecute() {
    // Open already (the tray menu stays live): brought forward.
    if (auto* open = q->findChild<TfrmShortcut*>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    TfrmShortcut dialog(services_, q);
    // Centred on first showing; this only picks the monitor.
    dialog.move(q->pos() + QPoint(30, 30));
    services_.runModal(dialog);
}

} // namespace tp
