#include "platform/FileDialog.h"

#include "platform/Settings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tp {

namespace {

const QString FolderKey = QStringLiteral("dialogs/folder");

QString Chosen(Settings* settings, const QString& path) {
    if (!path.isEmpty() && settings) settings->setValue(FolderKey, QFileInfo(path).absolutePath());
    return path;
}

} // namespace

QString LastFileFolder(const Settings* settings) {
    const QString folder = settings ? settings->value(FolderKey) : QString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString AskOpenFile(QWidget* parent, Settings* settings, const QString& caption,
                    const QString& filters) {
    return Chosen(settings,
                  QFileDialog::getOpenFileName(parent, caption, LastFileFolder(settings), filters));
}

QString AskSaveFile(QWidget* parent, Settings* settings, const QString& caption,
                    const QString& suggestedName, const QString& filters, QString* chosenFilter) {
    const QString start = QDir(LastFileFolder(settings)).filePath(suggestedName);
    return Chosen(settings,
                  QFileDialog::getSaveFileName(parent, caption, start, filters, chosenFilter));
}

} // namespace tp
