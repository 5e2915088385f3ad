#pragma once
#include <QString>
#include <QStringList>

#include <exception>
#include <utility>

class QWidget;

namespace tp {

// The standard error box: the application title as caption, the error icon
// and an OK button. Event handlers report what they could not finish through
// it and the program goes on.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(const QString& message) = 0;
    // A plain message box: the application title as caption, no icon, an OK
    // button (the history file's messages).
    virtual void showMessage(const QString& message) { showError(message); }
    // A failure met while the program ends, when no window can show it any
    // more: on standard error, and as a desktop notification where the
    // desktop offers them. May be called from exit() or another thread.
    // Here: standard error alone.
    virtual void reportAtExit(const QString& message);
};

class QtErrorReporter final : public ErrorReporter {
public:
    explicit QtErrorReporter(QWidget* parent = nullptr) : parent_(parent) {}
    void showError(const QString& message) override;
    void showMessage(const QString& message) override;
    void reportAtExit(const QString& message) override;
    // The run is ending: a message that would wait for its OK goes to
    // standard error instead, so that nothing holds the end up.
    void runEnding() { ending_ = true; }

private:
    QWidget* parent_;
    bool ending_ = false;
};

// Runs one event handler. An exception that escapes it is shown in the
// standard error box; whatever the handler changed before it stays changed.
template <class Handler> void Guarded(ErrorReporter& errors, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& e) {
        errors.showError(QString::fromUtf8(e.what()));
    }
}

} // namespace tp
