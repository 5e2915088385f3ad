#include "app/LibraryCommand.h"

#include "library/LibraryChoice.h"
#include "library/LibraryLocation.h"
#include "library/PaletteIo.h"
#include "library/ServerStore.h"
#include "platform/Settings.h"

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

int RunLibraryCommand(const CommandLineOptions& o, const AppPaths& paths) {
    if (!o.error.empty()) {
        Print(stderr, QStringLiteral("tintpick：") + QString::fromStdString(o.error));
        std::fputs(CommandLineUsage().c_str(), stderr);
        return 2;
    }
    if (o.help) {
        std::fputs(CommandLineUsage().c_str(), stdout);
        return 0;
    }
    const QString location = QString::fromLocal8Bit(o.library.c_str());
    if (o.createLibrary && !IsServerLocation(o.library)) {
        Print(stderr, QStringLiteral("tintpick：--create-library 只用于服务器上的颜色库，"
                                     "例如 postgresql://用户@主机/数据库"));
        return 2;
    }
    try {
        if (o.createLibrary) {
            Doing("颜色库没有建好", [&] { CreateServerLibrary(location); });
            Print(stdout, QStringLiteral("已在 %1 建好颜色库。")
                              .arg(QString::fromStdString(ShownLocation(o.library))));
            return 0;
        }
        QtSettings settings(QString::fromStdString(paths.settings));
        TLibraryChoice choice(&settings, paths.store, location, [](const QString& path) {
            Print(stdout,
                  QStringLiteral("已新建一个空的颜色库：%1").arg(QDir::toNativeSeparators(path)));
        });
        if (!choice.startupProblem().isEmpty()) throw Error(choice.startupProblem().toStdString());
        ColorStore& dm = choice.store();
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
