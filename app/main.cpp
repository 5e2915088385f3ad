#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/LibraryCommand.h"
#include "app/OnePick.h"
#include "app/mainRGB.h"
#include "history/HistorySession.h"
#include "platform/DisplayCheck.h"

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
    const std::vector<std::string> raw(argv + 1, argv + argc);
    if (tp::AsksForLibraryCommand(raw)) {
        QCoreApplication core(argc, argv);
        return tp::RunLibraryCommand(tp::ParseCommandLine(raw));
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
    if (!options.error.empty() || options.help) {
        if (!options.error.empty()) std::fprintf(stderr, "%s\n", options.error.c_str());
        std::fputs(tp::CommandLineUsage().c_str(), options.error.empty() ? stdout : stderr);
        return options.error.empty() ? 0 : 2;
    }
    // A one-shot pick is a process of its own, never handed to a running
    // instance: the script that started it waits for its output. It keeps
    // nothing in memory that a signal could lose, so signals end it at once.
    if (options.pick) {
        tp::ReleaseEndSignals();
        return tp::RunOnePick();
    }
    tp::Application app;
    if (app.finished()) return 0;
    app.mainWindow().show();
    return qapp->exec();
}
