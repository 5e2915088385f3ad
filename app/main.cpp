#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/ErrorBox.h"
#include "app/LibraryCommand.h"
#include "app/OnePick.h"
#include "app/mainRGB.h"
#include "base/AppPaths.h"
#include "history/HistorySession.h"
#include "platform/DisplayCheck.h"
#include "platform/ErrorReporter.h"
#include "platform/ProcessConsole.h"
#include "platform/SingleInstance.h"
#include "skin/SkinData.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The library commands serve scripts: they run without a display and
    // without a window, so they start before any GUI object is made, and
    // never hand their work to a running instance. They hold nothing a
    // signal could lose (an import is one transaction of the store), so
    // signals end them at once.
    tp::UseStartingConsole();
    const std::vector<std::string> raw(argv + 1, argv + argc);
    // Telling the usage or the version needs no display either.
    if (const auto text = tp::InformationAskedFor(raw)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    if (tp::AsksForLibraryCommand(raw)) {
        QCoreApplication core(argc, argv);
        const tp::AppPaths paths = tp::DecideAppPaths(
            tp::ProbeRunPlace(QCoreApplication::applicationDirPath().toStdString()));
        return tp::RunLibraryCommand(tp::ParseCommandLine(raw), paths);
    }
    // Before anything else: a terminating signal from here on ends the run
    // with the history saved instead of killing the process.
    tp::HoldEndSignals();
    std::unique_ptr<tp::TintpickApp> qapp;
    {
        tp::DisplayStartWatch watch;
        qapp = std::make_unique<tp::TintpickApp>(argc, argv);
    }
    // Qt has taken its own options (-platform, -display, ...) by now.
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments().mid(1))
        args.push_back(a.toStdString());
    const tp::CommandLineOptions options = tp::ParseCommandLine(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s\n", options.error.c_str());
        std::fputs(tp::CommandLineUsage().c_str(), stderr);
        return 2;
    }
    const tp::AppPaths paths =
        tp::DecideAppPaths(tp::ProbeRunPlace(QCoreApplication::applicationDirPath().toStdString()));
    tp::MakeUserFolder(paths);
    // A one-shot pick is a process of its own, never handed to a running
    // instance: the script that started it waits for its output. It keeps
    // nothing in memory that a signal could lose, so signals end it at once.
    if (options.pick) {
        tp::ReleaseEndSignals();
        return tp::RunOnePick(paths);
    }

    tp::SingleInstance instance;
    if (tp::StartKindOf(options) == tp::StartKind::Join) {
        switch (instance.claimOrHandOver(paths)) {
        case tp::SingleInstance::Outcome::HandedOver:
            if (!options.library.empty())
                std::fputs("tintpick: 已有 Tintpick 在运行，它仍用原来的颜色库；--library "
                           "只对新启动的程序有效\n",
                           stderr);
            return 0;
        case tp::SingleInstance::Outcome::NoAnswer: {
            // A second instance would overwrite the first one's history.
            const tp::SkinData skin = tp::SkinData::load();
            tp::SkinnedErrorReporter errors(skin);
            errors.showError(QStringLiteral("Tintpick 已在运行，但没有响应。请先结束它，再启动。"));
            std::fprintf(stderr, "tintpick: %s\n", instance.problem().toLocal8Bit().constData());
            return 1;
        }
        case tp::SingleInstance::Outcome::Alone:
            std::fprintf(stderr, "tintpick: running without the one-instance check: %s\n",
                         instance.problem().toLocal8Bit().constData());
            break;
        case tp::SingleInstance::Outcome::Primary:
            break;
        }
    }

    tp::Application app(paths, options.library);
    if (app.finished()) return 0;
    QObject::connect(&instance, &tp::SingleInstance::activationRequested, qapp.get(),
                     [&app] { app.comeForward(); });
    QObject::connect(&instance, &tp::SingleInstance::colourDelivered, qapp.get(),
                     [&app](const QString& code) { app.keepPickFromElsewhere(code); });
    app.mainWindow().show();
    return qapp->exec();
}
