#pragma once
// The save-colour dialog and the "保存" action that uses it.
#include "colour/ColorTypes.h"
#include "platform/Services.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QFrame;

namespace tp {

class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinMessage;
class TbsSkinStdLabel;
class ColorStore;

// Shows a dialog modally and returns its modal result; tests drive dialogs
// through their own runner instead of a nested event loop.
using DialogRunner = std::function<int(QDialog&)>;
int ExecDialog(QDialog& dialog);

// What the library's actions need from the main window.
struct LibraryHost {
    QWidget* owner = nullptr; // the main window: parent and placement
    Services services;
    TbsSkinMessage* msgAlert = nullptr;
    ColorStore* dm = nullptr;
    DialogRunner runModal = ExecDialog;
    // The picks in the history, newest first, which the browser can export.
    std::vector<TRGB> history;
};

class TfrmSaveInfo : public QDialog {
    Q_OBJECT
public:
    TfrmSaveInfo(const Services& services, QWidget* owner);
    ~TfrmSaveInfo() override;

    // Readies the dialog for saving rgb: the default name, and the sample in
    // the colour with legible text. The comment stays as it was.
    void ShowColor(const TRGB& rgb);
    QString NameText() const;
    // The comment as it is stored: line breaks as CR LF pairs.
    QString CommentText() const;

    // Run by "确定" before the dialog closes. When it fails, its message
    // shows and the dialog stays open with everything typed into it, so
    // that "确定" can try again (a server back, say) or "取消" give up.
    void setOnAccept(std::function<void()> f) { onAccept_ = std::move(f); }

    // Closing by the window's own means gives 2; "取消" gives 7.
    void reject() override { done(2); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void bsSkinButton1Click();
    ErrorReporter* errors_;
    std::function<void()> onAccept_;
    TbsBusinessSkinForm* bsBusinessSkinForm1;
    TbsSkinStdLabel* bsSkinStdLabel1; // "名称："
    TbsSkinStdLabel* bsSkinStdLabel2; // "备注："
    QLineEdit* edtName;
    QLabel* lblColor;
    QPlainTextEdit* memComment;
    QFrame* bsSkinBevel1;         // the line above the buttons
    TbsSkinButton* bsSkinButton1; // "确定"
    TbsSkinButton* bsSkinButton2; // "取消"
    QString lastComment_;
};

// The dialog kept after a failed insert, reused by the next save.
extern TfrmSaveInfo* frmSaveInfo;

// "保存": refuses a colour that is stored already, otherwise asks for a name
// and comment and inserts the row. Throws Error for the store's failures.
void SaveCurrentColor(LibraryHost& host, const TRGB& rgb);

} // namespace tp
