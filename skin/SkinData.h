#pragma once
// The skin every window is drawn with: the "Air" look (a stylesheet), the
// program icon and the string table of localised captions.
#include "skin/StringTable.h"

#include <QIcon>
#include <QString>

namespace tp {

struct SkinData {
    StringTable strings;
    QString styleSheet;
    QIcon icon;

    // The caption for a key of the string table, as a QString.
    QString text(const char* key) const { return QString::fromStdString(strings.value(key)); }

    // Loads the skin from the program's resources.
    static SkinData load();
};

} // namespace tp
