#pragma once
// "取色快捷键": the keys that start a pick from anywhere on the desktop.
// Shows whether they work and, where they do not, why and what to do
// instead; the choice is kept in the settings. Created for one showing and
// destroyed after it.
#include "platform/Services.h"

#include <QDialog>
#include <QString>

class QKeySequenceEdit;
class QLabel;

namespace tp {

class Settings;
class TbsBusinessSkinForm;
class TbsSkinButton;

class TfrmShortcut : public QDialog {
    Q_OBJECT
public:
    explicit TfrmShortcut(const Services& services, QWidget* parent = nullptr);
    ~TfrmShortcut() override;

    // The keys the settings hold in portable text: the default until the
    // user chooses, empty once the user switched the shortcut off.
    static QString StoredKeys(const Settings* settings);

    void btnOKClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    // The keys in the edit, in portable text (only the first combination).
    QString editedKeys() const;
    void showState();
    void setState(const QString& text, bool problem);
    // Back to the keys registered when the dialog opened, working again.
    void restore();

    Services services_;
    TbsBusinessSkinForm* bsfShortcut;
    QKeySequenceEdit* edtShortcut;
    TbsSkinButton* btnDefault; // "恢复默认"
    TbsSkinButton* btnClear;   // "清除"
    QLabel* lblState;
    TbsSkinButton* btnOK;     // "确定"
    TbsSkinButton* btnCancel; // "取消"
    // What was registered when the dialog opened, to come back to on cancel.
    QString original_;
    // What is registered now, after a try that failed.
    QString bound_;
    bool paused_ = false;
};

} // namespace tp
