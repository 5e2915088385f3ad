#include "library/SaveInfo.h"

#include "base/Convert.h"
#include "colour/Contrast.h"
#include "library/ColorStore.h"
#include "library/LibraryRules.h"
#include "library/MessageBox.h"
#include "library/TextLimit.h"
#include "platform/ErrorReporter.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <optional>

namespace tp {

TfrmSaveInfo* frmSaveInfo = nullptr;

int ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

TfrmSaveInfo::TfrmSaveInfo(const Services& services, QWidget* owner)
    : QDialog(owner, Qt::Dialog), errors_(services.errors) {
    setObjectName(QStringLiteral("frmSaveInfo"));
    setWindowTitle(QStringLiteral("保存颜色"));
    bsBusinessSkinForm1 =
        new TbsBusinessSkinForm(this, *services.skin, TbsBusinessSkinForm::SystemMenuIcon);
    bsBusinessSkinForm1->setClientSize(278, 178);
    bsBusinessSkinForm1->setCenterOnFirstShow(true);
    QWidget* c = bsBusinessSkinForm1->client();
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(14);

    bsSkinStdLabel1 = new TbsSkinStdLabel(QStringLiteral("名称："), c);
    bsSkinStdLabel1->setObjectName(QStringLiteral("bsSkinStdLabel1"));
    Place(bsSkinStdLabel1, 16, 13, 36, 13);
    edtName = new QLineEdit(c);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setValidator(new TextLimit(20, false, edtName));
    edtName->setFont(arial);
    Place(edtName, 58, 10, 132, 20);
    lblColor = new QLabel(QStringLiteral("示例"), c);
    lblColor->setObjectName(QStringLiteral("lblColor"));
    lblColor->setAlignment(Qt::AlignCenter);
    lblColor->setAutoFillBackground(true);
    Place(lblColor, 202, 11, 52, 19);
    bsSkinStdLabel2 = new TbsSkinStdLabel(QStringLiteral("备注："), c);
    bsSkinStdLabel2->setObjectName(QStringLiteral("bsSkinStdLabel2"));
    Place(bsSkinStdLabel2, 15, 46, 36, 13);
    memComment = new QPlainTextEdit(c);
    memComment->setObjectName(QStringLiteral("memComment"));
    memComment->setFont(arial);
    memComment->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memComment->setLineWrapMode(QPlainTextEdit::NoWrap);
    memComment->setTabChangesFocus(true);
    Place(memComment, 59, 45, 195, 83);
    // The memo holds at most 50 characters counting each line break as the
    // two it is stored with; of a change that goes over, what fits is kept.
    connect(memComment, &QPlainTextEdit::textChanged, this, [this] {
        const std::u32string after = memComment->toPlainText().toStdU32String();
        const FittedEdit fit = FitEdit(lastComment_.toStdU32String(), after, 50, true);
        lastComment_ = QString::fromStdU32String(fit.text);
        if (fit.text == after) return;
        const QSignalBlocker block(memComment);
        memComment->setPlainText(lastComment_);
        QTextCursor cur = memComment->textCursor();
        cur.setPosition(
            static_cast<int>(QString::fromStdU32String(fit.text.substr(0, fit.caret)).size()));
        memComment->setTextCursor(cur);
    });
    bsSkinBevel1 = new QFrame(c);
    bsSkinBevel1->setObjectName(QStringLiteral("bsSkinBevel1"));
    bsSkinBevel1->setFrameShape(QFrame::HLine);
    bsSkinBevel1->setFrameShadow(QFrame::Sunken);
    Place(bsSkinBevel1, 11, 133, 253, 3);
    bsSkinButton1 = new TbsSkinButton(QStringLiteral("确定"), c);
    bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
    Place(bsSkinButton1, 100, 143, 65, 22);
    bsSkinButton1->setDefault(true);
    bsSkinButton2 = new TbsSkinButton(QStringLiteral("取消"), c);
    bsSkinButton2->setObjectName(QStringLiteral("bsSkinButton2"));
    Place(bsSkinButton2, 189, 143, 65, 22);
    connect(bsSkinButton1, &QPushButton::clicked, this, [this] { bsSkinButton1Click(); });
    connect(bsSkinButton2, &QPushButton::clicked, this, [this] { done(7); });

    setTabOrder(edtName, memComment);
    setTabOrder(memComment, bsSkinButton1);
    setTabOrder(bsSkinButton1, bsSkinButton2);
    edtName->setFocus();
}

TfrmSaveInfo::~TfrmSaveInfo() {
    if (frmSaveInfo == this) frmSaveInfo = nullptr;
}

void TfrmSaveInfo::bsSkinButton1Click() {
    if (onAccept_) {
        try {
            onAccept_();
        } catch (const std::exception& e) {
            if (!errors_) throw;
            errors_->showError(QString::fromUtf8(e.what()));
            return;
        }
    }
    done(1);
}

void TfrmSaveInfo::ShowColor(const TRGB& rgb) {
    edtName->setText(QString::fromStdString(DefaultColorName(rgb)));
    const TRGB inv = LegibleOn(rgb, InverseColor(rgb));
    // A stylesheet, because the skin's stylesheet would win over a palette.
    lblColor->setStyleSheet(QStringLiteral("background-color: rgb(%1,%2,%3); color: rgb(%4,%5,%6);")
                                .arg(rgb.r)
                                .arg(rgb.g)
                                .arg(rgb.b)
                                .arg(inv.r)
                                .arg(inv.g)
                                .arg(inv.b));
    edtName->setFocus();
}

QString TfrmSaveInfo::NameText() const {
    return edtName->text();
}

QString TfrmSaveInfo::CommentText() const {
    return QString::fromStdString(WithCrLf(memComment->toPlainText().toStdString()));
}

void TfrmSaveInfo::keyPressEvent(QKeyEvent* e) {
    // Enter inside the memo starts a new line (the memo takes it before it
    // gets here); Esc anywhere is "取消".
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        bsSkinButton2->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void SaveCurrentColor(LibraryHost& host, const TRGB& rgb) try {
    if (!host.dm) throw Error("The colour store is not available.");
    ColorStore& store = *host.dm;
    const auto refuse = [&] {
        host.msgAlert->ShowMessageBox(QStringLiteral("这个颜色已经保存了"), mtInformation, mbOK, 0);
    };
    // A library that may only be read is refused before the user types a
    // name for nothing.
    store.EnsureConnected();
    store.RequireWritable();
    if (store.Contains(rgb)) {
        refuse();
        return;
    }
    if (!frmSaveInfo) frmSaveInfo = new TfrmSaveInfo(host.services, host.owner);
    TfrmSaveInfo* dlg = frmSaveInfo;
    if (host.owner) dlg->move(host.owner->x() + 30, host.owner->y() + 30);
    dlg->ShowColor(rgb);
    // Another program may have saved the same colour meanwhile.
    std::optional<bool> added;
    dlg->setOnAccept([&] {
        added = Doing("颜色没有保存", [&] {
            return store.AddColor({dlg->NameText(), rgb, dlg->CommentText()});
        });
    });
    const int result = host.runModal(*dlg);
    dlg->setOnAccept(nullptr);
    // Closed with 1 without "确定" (tests do): the insert follows. One that
    // fails then leaves the dialog alive, hidden, with the comment still in
    // it, so the next save does not lose what was typed.
    if (result == 1 && !added) added = store.AddColor({dlg->NameText(), rgb, dlg->CommentText()});
    if (result == 1 && !*added) refuse();
    delete dlg;
} catch (const StoreError& e) {
    throw e.Saying(QStringLiteral("颜色没有保存"));
}

} // namespace tp
