// The Qt implementations of the small platform seams.
#include "base/AppInfo.h"
#include "platform/Beeper.h"
#include "platform/Clipboard.h"
#include "platform/DesktopNotification.h"
#include "platform/ErrorReporter.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/TrayHost.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QUrl>

#include <cstdio>

namespace tp {

void QtClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

QString QtClipboard::text() const {
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

QString QtClipboard::selectionText() const {
    QClipboard* c = QGuiApplication::clipboard();
    return c->supportsSelection() ? c->text(QClipboard::Selection) : QString();
}

QtSettings::QtSettings(const QString& file)
    : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

QtSettings::~QtSettings() = default;

QString QtSettings::value(const QString& key) const {
    return settings_->value(key).toString();
}

void QtSettings::setValue(const QString& key, const QString& value) {
    settings_->setValue(key, value);
    // Written at once: the program may end by a signal or a lost session.
    settings_->sync();
}

QString QtSettings::fileName() const {
    return settings_->fileName();
}

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtTrayHost::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtBeeper::beep() {
    QApplication::beep();
}

namespace {
void toStandardError(const QString& message) {
    const QByteArray line =
        (QString::fromUtf8(ProductName) + QStringLiteral(": ") + message).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}
} // namespace

void QtErrorReporter::showError(const QString& message) {
    if (ending_) return toStandardError(message);
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ProductName), message, QMessageBox::Ok,
                    parent_);
    box.exec();
}

void QtErrorReporter::showMessage(const QString& message) {
    if (ending_) return toStandardError(message);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ProductName), message, QMessageBox::Ok,
                    parent_);
    box.exec();
}

void ErrorReporter::reportAtExit(const QString& message) {
    toStandardError(message);
}

void QtErrorReporter::reportAtExit(const QString& message) {
    toStandardError(message);
    ShowDesktopNotification(QString::fromUtf8(ProductName), message);
}

} // namespace tp
