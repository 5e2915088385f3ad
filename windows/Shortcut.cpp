#include "windows/Shortcut.h"

#include "platform/ErrorReporter.h"
#include "platform/GlobalShortcut.h"
#include "platform/Settings.h"
#include "platform/ShortcutKeys.h"
#include "skin/Controls.h"
#include "skin/SkinForm.h"

#include <QKeySequenceEdit>
#include <QLabel>

namespace tp {

QString TfrmShortcut::StoredKeys(const Settings* settings) {
    const QString stored =
        settings ? settings->value(QString::fromLatin1(PickShortcutKey)) : QString();
    if (stored.isEmpty()) return QString::fromLatin1(DefaultPickShortcut);
    if (stored == QLatin1String(NoPickShortcut)) return QString();
    return stored;
}

TfrmShortcut::TfrmShortcut(const Services& services, QWidget* parent)
    : QDialog(parent), services_(services) {
    setObjectName(QStringLiteral("frmShortcut"));
    setWindowTitle(QStringLiteral("取色快捷键"));
    bsfShortcut = new TbsBusinessSkinForm(this, *services.skin, TbsBusinessSkinForm::CloseIcon);
    bsfShortcut->setClientSize(360, 164);
    bsfShortcut->setCenterOnFirstShow(true);
    QWidget* client = bsfShortcut->client();

    auto* intro =
        new TbsSkinStdLabel(QStringLiteral("在任何地方按下这个快捷键，就能在屏幕上取色："), client);
    intro->setObjectName(QStringLiteral("bsSkinStdLabel1"));
    Place(intro, 12, 10, 336, 18);

    edtShortcut = new QKeySequenceEdit(client);
    edtShortcut->setObjectName(QStringLiteral("edtShortcut"));
    Place(edtShortcut, 12, 33, 180, 22);
    original_ = bound_ = StoredKeys(services.settings);
    edtShortcut->setKeySequence(QKeySequence::fromString(original_, QKeySequence::PortableText));

    auto button = [client](const char* name, const QString& caption, int l, int t) {
        auto* b = new TbsSkinButton(caption, client);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        Place(b, l, t, 75, 22);
        return b;
    };
    btnDefault = button("btnDefault", QStringLiteral("恢复默认"), 197, 33);
    btnClear = button("btnClear", QStringLiteral("清除"), 273, 33);

    lblState = new QLabel(client);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblState->setWordWrap(true);
    lblState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(lblState, 12, 62, 336, 66);

    btnOK = button("btnOK", QStringLiteral("确定"), 197, 134);
    btnOK->setDefault(true);
    btnCancel = button("btnCancel", QStringLiteral("取消"), 273, 134);

    auto guarded = [this](void (TfrmShortcut::*handler)()) {
        return [this, handler] { Guarded(*services_.errors, [&] { (this->*handler)(); }); };
    };
    connect(btnOK, &QPushButton::clicked, this, guarded(&TfrmShortcut::btnOKClick));
    connect(btnCancel, &QPushButton::clicked, this, guarded(&TfrmShortcut::btnCancelClick));
    connect(btnDefault, &QPushButton::clicked, this, [this] {
        edtShortcut->setKeySequence(QKeySequence::fromString(
            QString::fromLatin1(DefaultPickShortcut), QKeySequence::PortableText));
    });
    connect(btnClear, &QPushButton::clicked, edtShortcut, &QKeySequenceEdit::clear);
    connect(edtShortcut, &QKeySequenceEdit::keySequenceChanged, this,
            [this](const QKeySequence& k) {
                // A shortcut here is one combination; the edit would wait for more.
                if (k.count() > 1) {
                    edtShortcut->setKeySequence(QKeySequence(k[0]));
                    return;
                }
                const QString keys = editedKeys();
                if (keys.isEmpty())
                    return setState(QStringLiteral("确定后不再有取色快捷键。"), false);
                const ShortcutState valid = CheckedShortcut(keys);
                if (valid.kind == ShortcutState::Kind::Failed) return setState(valid.text, true);
                setState(QStringLiteral("确定后，%1 即可取色。").arg(ShownShortcut(keys)), false);
            });

    const bool choosable =
        services_.shortcut && services_.shortcut->state().kind != ShortcutState::Kind::Unavailable;
    for (QWidget* w : {static_cast<QWidget*>(edtShortcut), static_cast<QWidget*>(btnDefault),
                       static_cast<QWidget*>(btnClear)})
        w->setEnabled(choosable);
    showState();
}

TfrmShortcut::~TfrmShortcut() {
    // Closed some other way than its buttons: the keys work again.
    if (paused_) restore();
}

void TfrmShortcut::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Typing the keys must reach the edit, not start a pick.
    if (services_.shortcut && !paused_) {
        services_.shortcut->setPaused(true);
        paused_ = true;
    }
    edtShortcut->setFocus();
}

QString TfrmShortcut::editedKeys() const {
    const QKeySequence k = edtShortcut->keySequence();
    if (k.isEmpty()) return QString();
    return QKeySequence(k[0]).toString(QKeySequence::PortableText);
}

void TfrmShortcut::setState(const QString& text, bool problem) {
    lblState->setText(text);
    // A failure in the skin's warning tone, so that it is not read as done.
    lblState->setStyleSheet(problem ? QStringLiteral("color: #b3261e;") : QString());
}

void TfrmShortcut::showState() {
    if (!services_.shortcut) return setState(QStringLiteral("这里无法注册全局快捷键。"), true);
    const ShortcutState s = services_.shortcut->state();
    const bool problem =
        s.kind == ShortcutState::Kind::Failed || s.kind == ShortcutState::Kind::Unavailable;
    setState(s.text, problem);
}

void TfrmShortcut::btnOKClick() {
    GlobalShortcut* shortcut = services_.shortcut;
    if (!shortcut || shortcut->state().kind == ShortcutState::Kind::Unavailable) return accept();
    const QString keys = editedKeys();
    if (const ShortcutState valid = CheckedShortcut(keys);
        valid.kind == ShortcutState::Kind::Failed)
        return setState(valid.text, true);
    if (keys != bound_) {
        shortcut->bind(keys);
        bound_ = keys;
    }
    shortcut->setPaused(false);
    paused_ = false;
    if (shortcut->state().kind == ShortcutState::Kind::Failed) {
        // Held by another program, say: the user chooses again.
        showState();
        shortcut->setPaused(true);
        paused_ = true;
        return;
    }
    if (services_.settings && keys != original_)
        services_.settings->setValue(QString::fromLatin1(PickShortcutKey),
                                     keys.isEmpty() ? QString::fromLatin1(NoPickShortcut) : keys);
    accept();
}

void TfrmShortcut::btnCancelClick() {
    reject();
}

void TfrmShortcut::restore() {
    if (!services_.shortcut) return;
    if (bound_ != original_) services_.shortcut->bind(original_);
    bound_ = original_;
    services_.shortcut->setPaused(false);
    paused_ = false;
}

void TfrmShortcut::reject() {
    restore();
    QDialog::reject();
}

} // namespace tp
