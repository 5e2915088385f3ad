#include "app/LibraryCommand.h"

#include "library/PaletteIo.h"
#include "library/dm.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <exception>

namespace tp {

namespace {

void Print(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

} // namespace

int RunLibraryCommand(const CommandLineOptions& o) {
    if (!o.error.empty()) {
        Print(stderr, QStringLiteral("tintpick：") + QString::fromStdString(o.error));
        std::fputs(CommandLineUsage().c_str(), stderr);
        return 2;
    }
    if (o.help) {
        std::fputs(CommandLineUsage().c_str(), stdout);
        return 0;
    }
    try {
        TdmMain dm;
        if (!o.exportLibrary.empty()) {
            const QString path = QString::fromLocal8Bit(o.exportLibrary.c_str());
            const Palette p = LibraryPalette(dm);
            WritePaletteFile(p, path);
            Print(stdout, QStringLiteral("已把 %1 个颜色导出到 %2。")
                              .arg(p.entries.size())
                              .arg(QDir::toNativeSeparators(path)));
        } else {
            const QString path = QString::fromLocal8Bit(o.importLibrary.c_str());
            Print(stdout, ImportSummary(ImportPaletteFile(dm, path), path));
        }
        return 0;
    } catch (const std::exception& e) {
        Print(stderr, QStringLiteral("tintpick：") + QString::fromUtf8(e.what()));
        return 1;
    }
}

} // namespace tp
