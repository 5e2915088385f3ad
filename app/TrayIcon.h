#pragma once
// The program's icon in the notification area, and the window behaviour that
// comes with it: minimising the main window sends it into the tray, a click
// on the icon brings it back, and every showing of the main window raises
// it.
#include "app/TrayClick.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace tp {

class TrayHost;

class TbsTrayIcon : public QObject {
    Q_OBJECT
public:
    // ownerForm is the window the icon stands for; doubleClickMs the
    // system's double-click time, read once here; host says whether the
    // desktop has a tray at all (null: it has).
    TbsTrayIcon(QWidget* ownerForm, const QIcon& icon, int doubleClickMs,
                const TrayHost* host = nullptr);
    ~TbsTrayIcon() override;

    void setHint(const QString& hint);
    QString hint() const { return hint_; }
    // Adds the icon to the tray host or takes it away. Without a tray host
    // the icon simply does not appear; Qt puts it in as soon as one starts.
    void setIconVisible(bool visible);
    bool iconVisible() const { return visible_; }
    void setPopupMenu(QMenu* menu);

    // Set while the owner form is in the tray (MinimizeToTray): any
    // minimising of it then ends in the tray as well, until the next
    // restore from the tray.
    bool MinimizeToTray() const { return minimizeToTray_; }
    // Hides the owner form into the tray; where no tray host is running (a
    // Wayland desktop without a StatusNotifier host, say) the form is only
    // minimised, since nothing could bring a hidden one back.
    void minimizeToTray();
    void restoreFromTray();

    QSystemTrayIcon* systemTrayIcon() const { return tray_; }
    TrayClick& clickMachine() { return click_; }

    bool hostAvailable() const;
    // How often a hidden owner form checks that the tray is still there
    // (every second).
    void SetHostCheckInterval(int ms) { hostCheckMs_ = ms; }

signals:
    void OnClick();
    void OnDblClick();
    // The tray went away while the owner form was hidden: nothing is left on
    // the desktop to bring it back.
    void hostLost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class QtClock;
    bool trayWindowEvent(QEvent* event);
    bool ownerFormEvent(QEvent* event);

    QWidget* owner_;
    QSystemTrayIcon* tray_;
    std::unique_ptr<QtClock> clock_;
    const TrayHost* host_;
    QTimer* hostWatch_;
    TrayClick click_;
    QString hint_;
    bool visible_ = false;
    bool minimizeToTray_ = false;
    int hostCheckMs_ = 1000;
    // Set once the tray window's own mouse events have been seen; the
    // coarser activation reasons are then ignored.
    bool rawEvents_ = false;
};

} // namespace tp
