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
};

class QtErrorReporter final : public ErrorReporter {
public:
    explicit QtErrorReporter(QWidget* parent = nullptr) : parent_(parent) {}
    void showError(const QString& message) override;
    void showMessage(const QString& message) override;

private:
    QWidget* parent_;
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
