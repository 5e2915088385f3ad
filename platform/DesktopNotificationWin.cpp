// Windows: a notification is the tray icon's balloon (Shell_NotifyIcon
// through Qt), shown by the program's own icon in the notification area.
#include "platform/DesktopNotification.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWidget>

namespace tp {

bool SessionBusRunning() {
    return false;
}

bool ShowDesktopNotification(const QString& summary, const QString& body) {
    if (!QSystemTrayIcon::supportsMessages()) return false;
    // The icon belongs to the main window; any visible one of the program's
    // will do.
    QList<QObject*> owners{QCoreApplication::instance()};
    for (QWidget* w : QApplication::topLevelWidgets())
        owners.push_back(w);
    for (QObject* owner : owners) {
        if (!owner) continue;
        for (QSystemTrayIcon* icon : owner->findChildren<QSystemTrayIcon*>()) {
            if (!icon->isVisible()) continue;
            icon->showMessage(summary, body, QSystemTrayIcon::Warning);
            return true;
        }
    }
    return false;
}

} // namespace tp
