#include "skin/SkinForm.h"

#include "skin/Placement.h"
#include "skin/SkinData.h"

#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

namespace tp {

namespace {
QToolButton* captionButton(QWidget* parent, const QString& objectName, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setFixedSize(20, 18);
    return b;
}
} // namespace

TbsBusinessSkinForm::TbsBusinessSkinForm(QWidget* window, const SkinData& skin, int borderIcons)
    : QObject(window), window_(window), skin_(skin), borderIcons_(borderIcons),
      onMinimize_([window] { window->showMinimized(); }) {
    window_->setWindowFlag(Qt::FramelessWindowHint, true);
    // A dialog blocks the window that opened it (and that one's owners), not
    // the whole program: the tray icon and its menu must keep answering
    // while the About window or the colour dialog is open.
    if (qobject_cast<QDialog*>(window_) && window_->parentWidget())
        window_->setWindowModality(Qt::WindowModal);
    window_->setWindowIcon(skin.icon);
    window_->setStyleSheet(skin.styleSheet);
    window_->setProperty("skinForm", true);

    auto* outer = new QVBoxLayout(window_);
    outer->setContentsMargins(BorderWidth, BorderWidth, BorderWidth, BorderWidth);
    outer->setSpacing(0);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    caption_ = new QWidget(window_);
    caption_->setObjectName(QStringLiteral("skinCaption"));
    caption_->setAttribute(Qt::WA_StyledBackground, true);
    caption_->setFixedHeight(CaptionHeight);
    auto* row = new QHBoxLayout(caption_);
    row->setContentsMargins(3, 0, 3, 0);
    row->setSpacing(2);

    menuButton_ =
        captionButton(caption_, QStringLiteral("skinMenuButton"), skin.text("MENUBUTTON_HINT"));
    menuButton_->setIcon(skin.icon);
    menuButton_->setIconSize(QSize(16, 16));
    menuButton_->setVisible(borderIcons & SystemMenuIcon);
    connect(menuButton_, &QToolButton::clicked, this, &TbsBusinessSkinForm::showSystemMenu);
    row->addWidget(menuButton_);

    title_ = new QLabel(window_->windowTitle(), caption_);
    title_->setObjectName(QStringLiteral("skinTitle"));
    row->addWidget(title_, 1);

    minButton_ =
        captionButton(caption_, QStringLiteral("skinMinButton"), skin.text("MINBUTTON_HINT"));
    minButton_->setText(QStringLiteral("\u2013"));
    minButton_->setVisible(borderIcons & MinimizeIcon);
    connect(minButton_, &QToolButton::clicked, this, &TbsBusinessSkinForm::minimize);
    row->addWidget(minButton_);

    maxButton_ =
        captionButton(caption_, QStringLiteral("skinMaxButton"), skin.text("MAXBUTTON_HINT"));
    maxButton_->setText(QStringLiteral("\u25A1"));
    maxButton_->setVisible(borderIcons & MaximizeIcon);
    connect(maxButton_, &QToolButton::clicked, this, &TbsBusinessSkinForm::toggleMaximized);
    row->addWidget(maxButton_);

    closeButton_ =
        captionButton(caption_, QStringLiteral("skinCloseButton"), skin.text("CLOSEBUTTON_HINT"));
    closeButton_->setText(QStringLiteral("\u00D7"));
    closeButton_->setVisible(borderIcons & CloseIcon);
    connect(closeButton_, &QToolButton::clicked, window_, &QWidget::close);
    row->addWidget(closeButton_);

    outer->addWidget(caption_);

    client_ = new QWidget(window_);
    client_->setObjectName(QStringLiteral("skinClient"));
    client_->setAttribute(Qt::WA_StyledBackground, true);
    outer->addWidget(client_);

    // A frameless window gets no Alt+F4 from a window manager that does not
    // decorate it, so the form carries the shortcut itself.
    closeAction_ = new QAction(skin.text("MI_CLOSECAPTION"), window_);
    closeAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    closeAction_->setShortcutContext(Qt::WindowShortcut);
    connect(closeAction_, &QAction::triggered, window_, &QWidget::close);
    window_->addAction(closeAction_);

    caption_->installEventFilter(this);
    title_->installEventFilter(this);
    window_->installEventFilter(this);
}

void TbsBusinessSkinForm::setClientSize(int width, int height) {
    client_->setFixedSize(width, height);
}

QMenu* TbsBusinessSkinForm::buildSystemMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("skinSystemMenu"));
    if (borderIcons_ & MinimizeIcon) {
        QAction* min = menu->addAction(skin_.text("MI_MINCAPTION"));
        connect(min, &QAction::triggered, this, &TbsBusinessSkinForm::minimize);
    }
    if (borderIcons_ & MaximizeIcon) {
        const bool maximized = window_->isMaximized();
        QAction* max =
            menu->addAction(skin_.text(maximized ? "MI_RESTORECAPTION" : "MI_MAXCAPTION"));
        connect(max, &QAction::triggered, this, &TbsBusinessSkinForm::toggleMaximized);
    }
    for (QAction* a : userActions_)
        menu->addAction(a);
    menu->addAction(closeAction_);
    return menu;
}

void TbsBusinessSkinForm::minimize() {
    if (onMinimize_) onMinimize_();
}

void TbsBusinessSkinForm::toggleMaximized() {
    if (window_->isMaximized())
        window_->showNormal();
    else
        window_->showMaximized();
}

void TbsBusinessSkinForm::showSystemMenu() {
    QMenu* menu = buildSystemMenu(window_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(menuButton_->mapToGlobal(QPoint(0, menuButton_->height())));
}

bool TbsBusinessSkinForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        if (event->type() == QEvent::WindowTitleChange) title_->setText(window_->windowTitle());
        if (event->type() == QEvent::Show && !shownOnce_) {
            shownOnce_ = true;
            if (centerOnFirstShow_) {
                const QRect frame = window_->frameGeometry();
                QScreen* screen = QGuiApplication::screenAt(frame.center());
                if (!screen) screen = window_->screen();
                if (screen) {
                    const QRect a = screen->availableGeometry();
                    const Pos p = CenterInArea({a.x(), a.y(), a.width(), a.height()}, frame.width(),
                                               frame.height());
                    window_->move(p.left, p.top);
                }
            }
        }
        return false;
    }
    // Dragging by the caption bar (or its title). Window managers that can
    // move the window themselves are asked to; others get a manual move.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton) return false;
        QWindow* handle = window_->windowHandle();
        if (handle && handle->startSystemMove()) return true;
        dragging_ = true;
        dragOffset_ = me->globalPosition().toPoint() - window_->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove:
        if (dragging_) {
            auto* me = static_cast<QMouseEvent*>(event);
            window_->move(me->globalPosition().toPoint() - dragOffset_);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace tp
