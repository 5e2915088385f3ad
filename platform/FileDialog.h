#pragma once
// The file dialogs: each opens in the folder the user last chose a file in,
// through any of them and in any earlier run (kept in the settings), or in
// the home folder the first time and when that folder is gone.
#include <QString>

class QWidget;

namespace tp {

class Settings;

// The folder a file dialog opens in.
QString LastFileFolder(const Settings* settings);

// A file to read; empty when the user cancels.
QString AskOpenFile(QWidget* parent, Settings* settings, const QString& caption,
                    const QString& filters);

// A file to write, with `suggestedName` proposed; empty when the user
// cancels. `chosenFilter` gets the filter the user chose.
QString AskSaveFile(QWidget* parent, Settings* settings, const QString& caption,
                    const QString& suggestedName, const QString& filters, QString* chosenFilter);

} // namespace tp
