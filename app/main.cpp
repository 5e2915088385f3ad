#include "app/Application.h"
#include "app/mainRGB.h"
#include "history/HistorySession.h"
#include "platform/DisplayCheck.h"

#include <memory>

int main(int argc, char** argv) {
    // Before anything else: a terminating signal from here on ends the run
    // with the history saved instead of killing the process.
    tp::HoldEndSignals();
    std::unique_ptr<tp::TintpickApp> qapp;
    {
        tp::DisplayStartWatch watch;
        qapp = std::make_unique<tp::TintpickApp>(argc, argv);
    }
    tp::Application app;
    if (app.finished()) return 0;
    app.mainWindow().show();
    return qapp->exec();
}
