#pragma once
// The program's standard error box and plain message box, skinned like its
// other boxes: the product name as title, the error icon (or none for a
// plain message), an OK button, centred on the screen. Each is owned by the
// window it answers (a modal window that is open, else the main window), so
// that it opens above a main window that stays on top instead of under it.
#include "platform/ErrorReporter.h"

#include <QPointer>
#include <QWidget>

namespace tp {

struct SkinData;

class SkinnedErrorReporter final : public ErrorReporter {
public:
    explicit SkinnedErrorReporter(const SkinData& skin) : skin_(skin) {}
    // The window a box answers when no modal window is open; none until the
    // main window exists.
    void setOwner(QWidget* owner) { owner_ = owner; }
    void showError(const QString& message) override;
    void showMessage(const QString& message) override;
    void reportAtExit(const QString& message) override { plain_.reportAtExit(message); }
    // The run is ending: a message that would wait for its OK goes to
    // standard error instead, so that nothing holds the end up.
    void runEnding();

private:
    void show(const QString& message, int kind);

    const SkinData& skin_;
    QPointer<QWidget> owner_;
    // Standard error and the desktop's notifications, once the run ends.
    QtErrorReporter plain_;
    bool ending_ = false;
};

} // namespace tp
