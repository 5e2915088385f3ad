#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/LibraryCommand.h"
#include "app/mainRGB.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The library commands serve scripts: they run without a display and
    // without a window, so they start before any GUI object is made.
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (tp::AsksForLibraryCommand(args)) {
        QCoreApplication core(argc, argv);
        return tp::RunLibraryCommand(tp::ParseCommandLine(args));
    }
    tp::TintpickApp qapp(argc, argv);
    tp::Application app;
    app.mainWindow().show();
    return qapp.exec();
}
