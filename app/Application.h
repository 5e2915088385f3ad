#pragma once
// Builds the program's long-lived objects in their start-up order and owns
// the platform services they share.
#include "base/AppPaths.h"
#include "platform/Services.h"

#include <QApplication>

#include <memory>
#include <string>

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
    // library: --library's value, the colour library of this run.
    explicit Application(const AppPaths& paths, const std::string& library = {});
    ~Application();
    TfrmMain& mainWindow() const { return *main_; }
    // Another start of the program asked for it: bring it to the front,
    // from the tray if need be.
    void comeForward();
    // `tintpick --pick` picked this code (six hex digits) while this
    // instance runs: it joins this instance's history.
    void keepPickFromElsewhere(const QString& code);
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
