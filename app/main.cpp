#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/OnePick.h"
#include "app/mainRGB.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    tp::TintpickApp qapp(argc, argv);
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
    // instance: the script that started it waits for its output.
    if (options.pick) return tp::RunOnePick();
    tp::Application app;
    app.mainWindow().show();
    return qapp.exec();
}
