#pragma once
#include <QString>

namespace tp {

// Shows a notification: through the desktop's notification service
// (org.freedesktop.Notifications on the session bus) on Linux, waiting a few
// seconds at most for the answer; as the tray icon's balloon on Windows.
// Returns false, having shown nothing, where there is no way to show it.
bool ShowDesktopNotification(const QString& summary, const QString& body);

// Whether a session bus runs (never on Windows). Without the address of one, connecting may
// start a bus of its own (X11 autolaunch) that would outlive the program.
bool SessionBusRunning();

} // namespace tp
