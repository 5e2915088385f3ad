#include "library/LibraryPlace.h"

#include "library/LibraryChoice.h"
#include "platform/ErrorReporter.h"
#include "skin/Controls.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QApplication>
#include <QLineEdit>

namespace tp {

TfrmLibraryPlace::TfrmLibraryPlace(const Services& services, TLibraryChoice& choice, QWidget* owner)
    : QDialog(owner, Qt::Dialog), services_(services), choice_(choice) {
    setObjectName(QStringLiteral("frmLibraryPlace"));
    setWindowTitle(QStringLiteral("颜色库位置"));
    auto* form = new TbsBusinessSkinForm(this, *services.skin, TbsBusinessSkinForm::SystemMenuIcon);
    form->setClientSize(420, 132);
    form->setCenterOnFirstShow(true);
    QWidget* c = form->client();

    auto* label = new TbsSkinStdLabel(QStringLiteral("位置："), c);
    Place(label, 12, 15, 40, 13);
    edtLocation_ = new QLineEdit(choice.location(), c);
    edtLocation_->setObjectName(QStringLiteral("edtLocation"));
    edtLocation_->setPlaceholderText(QStringLiteral("本机的颜色库文件 store.kvd"));
    Place(edtLocation_, 56, 11, 352, 21);
    auto* hint = new TbsSkinStdLabel(
        QStringLiteral("留空：本机的颜色库文件。团队颜色库写成\n"
                       "postgresql://用户@主机:5432/数据库 或 service=名称；\n"
                       "密码写在 ~/.pgpass（或 PGPASSFILE）里，程序不保存密码。"),
        c);
    hint->setObjectName(QStringLiteral("lblHint"));
    Place(hint, 56, 38, 352, 48);

    auto* ok = new TbsSkinButton(QStringLiteral("确定"), c);
    ok->setObjectName(QStringLiteral("bsSkinButton1"));
    ok->setDefault(true);
    Place(ok, 254, 99, 70, 22);
    auto* cancel = new TbsSkinButton(QStringLiteral("取消"), c);
    cancel->setObjectName(QStringLiteral("bsSkinButton2"));
    Place(cancel, 338, 99, 70, 22);
    connect(ok, &QPushButton::clicked, this, [this] { bsSkinButton1Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(7); });
    edtLocation_->setFocus();
    edtLocation_->selectAll();
}

void TfrmLibraryPlace::bsSkinButton1Click() {
    // Trying a server waits for it (five seconds at most); meanwhile the
    // window takes no clicks.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    try {
        Doing("颜色库位置没有改", [this] { choice_.Choose(edtLocation_->text()); });
    } catch (const std::exception& e) {
        setEnabled(true);
        QApplication::restoreOverrideCursor();
        services_.errors->showError(QString::fromUtf8(e.what()));
        edtLocation_->setFocus();
        return;
    }
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    done(1);
}

bool ChooseLibraryPlace(const Services& services, TLibraryChoice& choice, QWidget* owner,
                        const DialogRunner& runModal) {
    TfrmLibraryPlace dlg(services, choice, owner);
    if (owner) dlg.move(owner->x() + 30, owner->y() + 30);
    return runModal(dlg) == 1;
}

} // namespace tp
