#include "app/TrayIcon.h"

#include "platform/TrayHost.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

#include <functional>
#include <utility>

namespace tp {

class TbsTrayIcon::QtClock final : public TrayClock {
public:
    // onTimeout runs when the timer runs out.
    QtClock(QObject* parent, std::function<void()> onTimeout) : timer_(parent) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, parent, std::move(onTimeout));
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

TbsTrayIcon::TbsTrayIcon(QWidget* ownerForm, const QIcon& icon, int doubleClickMs,
                         const TrayHost* host)
    : QObject(ownerForm), owner_(ownerForm), tray_(new QSystemTrayIcon(icon, this)),
      clock_(std::make_unique<QtClock>(this, [this] { click_.timeout(); })), host_(host),
      hostWatch_(new QTimer(this)), click_(*clock_, doubleClickMs) {
    connect(hostWatch_, &QTimer::timeout, this, [this] {
        if (owner_->isVisible()) {
            hostWatch_->stop();
        } else if (!hostAvailable()) {
            hostWatch_->stop();
            emit hostLost();
        }
    });
    click_.SetOnClick([this] { emit OnClick(); });
    click_.SetOnDoubleClick([this] { emit OnDblClick(); });

    // On an XEmbed tray, Qt draws the icon in a small window of its own and
    // reports only presses (as "trigger") and double clicks. We watch that
    // window's raw press and release events instead, so that a press held
    // past the double-click time is a click at its release. Hosts that speak
    // the StatusNotifier protocol send only activations; they are mapped to
    // a whole click and to a double click.
    qApp->installEventFilter(this);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (rawEvents_) return;
        if (r == QSystemTrayIcon::Trigger) {
            click_.leftDown();
            click_.leftUp();
        } else if (r == QSystemTrayIcon::DoubleClick) {
            click_.leftDoubleClick();
        }
    });

    owner_->installEventFilter(this);
}

TbsTrayIcon::~TbsTrayIcon() {
    qApp->removeEventFilter(this);
    tray_->hide();
}

void TbsTrayIcon::setHint(const QString& hint) {
    hint_ = hint;
    tray_->setToolTip(hint);
}

void TbsTrayIcon::setIconVisible(bool visible) {
    visible_ = visible;
    tray_->setVisible(visible);
}

void TbsTrayIcon::setPopupMenu(QMenu* menu) {
    tray_->setContextMenu(menu);
}

bool TbsTrayIcon::hostAvailable() const {
    return !host_ || host_->available();
}

void TbsTrayIcon::minimizeToTray() {
    if (!hostAvailable()) {
        // No tray to come back from: minimise as any window does.
        owner_->showMinimized();
        return;
    }
    minimizeToTray_ = true;
    owner_->hide();
    setIconVisible(true);
}

void TbsTrayIcon::restoreFromTray() {
    minimizeToTray_ = false;
    if (owner_->isMinimized()) owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
    owner_->show();
    owner_->raise();
    owner_->activateWindow();
}

bool TbsTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_) return ownerFormEvent(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (watched->isWidgetType() && watched->inherits("QSystemTrayIconSys"))
            return trayWindowEvent(event);
        return false;
    default:
        return false;
    }
}

bool TbsTrayIcon::trayWindowEvent(QEvent* event) {
    auto* me = static_cast<QMouseEvent*>(event);
    if (me->button() != Qt::LeftButton)
        return false; // the right press opens the menu in Qt's own handler
    rawEvents_ = true;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        click_.leftDown();
        break;
    case QEvent::MouseButtonRelease:
        click_.leftUp();
        break;
    default:
        click_.leftDoubleClick();
        break;
    }
    return false;
}

bool TbsTrayIcon::ownerFormEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
        // Whoever shows the main window (the tray menu, the end of distance
        // measuring) expects it in front, not buried under other windows.
        owner_->raise();
        owner_->activateWindow();
        break;
    case QEvent::Hide:
        // Hidden, the window can only come back through the tray: watch that
        // the tray stays (the watch ends itself once the window shows again).
        if (!hostWatch_->isActive()) hostWatch_->start(hostCheckMs_);
        break;
    case QEvent::WindowStateChange:
        if (minimizeToTray_ && owner_->isMinimized() && hostAvailable()) {
            // A minimise from outside (the window manager) while the window
            // belongs in the tray: take it off the taskbar as well.
            QTimer::singleShot(0, this, [this] {
                if (!owner_->isMinimized()) return;
                owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
                owner_->hide();
            });
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace tp
