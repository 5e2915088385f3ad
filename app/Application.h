#pragma once
// Builds the program's long-lived objects in their start-up order and owns
// the platform services they share.
#include "platform/Services.h"

#include <QApplication>

#include <memory>

namespace tp {

class TfrmMain;
class ErrorReporter;

// The application object. Any exception that escapes an event handler is
// shown in the standard error box and the program goes on, instead of
// unwinding through the event loop.
class TintpickApp : public QApplication {
public:
    TintpickApp(int& argc, char** argv) : QApplication(argc, argv) {}
    void setErrorReporter(ErrorReporter* errors) { errors_ = errors; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ErrorReporter* errors_ = nullptr;
};

class Application {
public:
    Application();
    ~Application();
    TfrmMain& mainWindow() const { return *main_; }
    const Services& services() const { return services_; }
    // The run ended while it was being set up (a terminating signal, say):
    // the history is written and no event loop should start.
    bool finished() const;

private:
    // A terminating signal: close the main window, which saves and ends the
    // run, or, while the windows are still being built, as soon as they are.
    void terminate();

    struct Impl;
    std::unique_ptr<Impl> impl_;
    Services services_;
    TfrmMain* main_ = nullptr;
    bool built_ = false;
    bool terminateRequested_ = false;
};

} // namespace tp
