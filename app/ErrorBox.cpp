#include "app/ErrorBox.h"

#include "base/AppInfo.h"
#include "library/LibraryRules.h"
#include "library/MessageBox.h"

#include <QDialog>

namespace tp {

void SkinnedErrorReporter::showError(const QString& message) {
    if (ending_) return plain_.showError(message);
    show(message, mtError);
}

void SkinnedErrorReporter::showMessage(const QString& message) {
    if (ending_) return plain_.showMessage(message);
    show(message, mtCustom);
}

void SkinnedErrorReporter::runEnding() {
    ending_ = true;
    plain_.runEnding();
}

void SkinnedErrorReporter::show(const QString& message, int kind) {
    // The box takes its owner from its own parent when no modal window is
    // open.
    TbsSkinMessage boxes(skin_, owner_.data());
    std::unique_ptr<QDialog> box = boxes.BuildMessageBox(message, kind, mbOK);
    box->setWindowTitle(QString::fromUtf8(ProductName));
    box->exec();
}

} // namespace tp
