#include "library/MessageBox.h"

#include "base/AppInfo.h"
#include "skin/Controls.h"
#include "skin/Placement.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>

namespace tp {

namespace {
constexpr int DefaultButtonHeight = 25; // the skin has no button picture of its own
constexpr int MinWindowWidth = 120;

class MessageDialog : public QDialog {
public:
    using QDialog::QDialog;
    // The button Esc presses; without one Esc closes the box.
    void SetCancelButton(QPushButton* b) { cancelButton_ = b; }

    // Alt+F4, the window manager's close and the like all give 2.
    void reject() override { done(ModalResult::Closed); }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
            if (cancelButton_)
                cancelButton_->click();
            else
                done(ModalResult::Closed);
            return;
        }
        QDialog::keyPressEvent(e);
    }

private:
    QPushButton* cancelButton_ = nullptr;
};

QStyle::StandardPixmap IconOf(int kind) {
    switch (kind) {
    case mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case mtError:
        return QStyle::SP_MessageBoxCritical;
    case mtInformation:
        return QStyle::SP_MessageBoxInformation;
    case mtConfirmation:
        return QStyle::SP_MessageBoxQuestion;
    default:
        return QStyle::SP_CustomBase;
    }
}
} // namespace

TbsSkinMessage::TbsSkinMessage(const SkinData& skin, QObject* parent)
    : QObject(parent), skin_(skin) {}

std::unique_ptr<QDialog> TbsSkinMessage::BuildMessageBox(const QString& text, int kind,
                                                         int buttons) const {
    // Owned by the window it answers (the browser while it is open, else the
    // main window), so that it stays above a window that stays on top.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = qobject_cast<QWidget*>(parent());
    auto dlg = std::make_unique<MessageDialog>(owner, Qt::Dialog);
    dlg->setObjectName(QStringLiteral("msgAlertBox"));
    dlg->setModal(true);
    auto* form = new TbsBusinessSkinForm(dlg.get(), skin_, 0);
    const char* key = MessageCaptionKey(kind);
    dlg->setWindowTitle(key ? skin_.text(key) : QString::fromUtf8(ProductName));
    QWidget* client = form->client();

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int maxClient = work.width() - 2 * TbsBusinessSkinForm::BorderWidth;
    auto* label = new TbsSkinStdLabel(text, client);
    label->setObjectName(QStringLiteral("Message"));
    label->setWordWrap(false);
    label->adjustSize();
    // A line the screen cannot hold (a long message on a scaled desktop)
    // is wrapped, never cut off at the screen's edge.
    const int widest = MessageTextWidth(maxClient);
    if (label->width() > widest) {
        label->setWordWrap(true);
        label->resize(widest, label->heightForWidth(widest));
    }
    const MessageLayout m = LayoutMessageBox(label->width(), label->height(), buttons,
                                             DefaultButtonHeight, MinWindowWidth, maxClient);
    Place(label, m.label.left, m.label.top, m.label.width, m.label.height);

    auto* image = new QLabel(client);
    image->setObjectName(QStringLiteral("Image"));
    Place(image, m.icon.left, m.icon.top, m.icon.width, m.icon.height);
    if (IconOf(kind) != QStyle::SP_CustomBase)
        image->setPixmap(QApplication::style()->standardIcon(IconOf(kind)).pixmap(32, 32));

    for (size_t i = 0; i < m.buttonBits.size(); ++i) {
        const int bit = m.buttonBits[i];
        const MsgButtonInfo* info = nullptr;
        for (const auto& b : MessageButtons())
            if (b.bit == bit) info = &b;
        auto* b = new TbsSkinButton(skin_.text(info->captionKey), client);
        b->setObjectName(QString::fromLatin1(info->name));
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(false);
        Place(b, m.buttons[i].left, m.buttons[i].top, m.buttons[i].width, m.buttons[i].height);
        const int result = info->modalResult;
        QDialog* d = dlg.get();
        // Help asks for help on the box's context and leaves the box open;
        // the program has no help file, so it does nothing more.
        if (bit != mbHelp)
            QObject::connect(b, &QPushButton::clicked, d, [d, result] { d->done(result); });
        if (bit == m.defaultBit) {
            b->setDefault(true);
            b->setFocus();
        }
        if (bit == m.cancelBit) dlg->SetCancelButton(b);
    }
    form->setClientSize(m.clientWidth, m.clientHeight);
    dlg->adjustSize();
    // Centred on the screen, not on a monitor's work area.
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const Pos p =
        CenterInArea({screenRect.x(), screenRect.y(), screenRect.width(), screenRect.height()},
                     dlg->width(), dlg->height());
    dlg->move(p.left, p.top);
    return dlg;
}

int TbsSkinMessage::ShowMessageBox(const QString& text, int kind, int buttons, int) {
    std::unique_ptr<QDialog> dlg = BuildMessageBox(text, kind, buttons);
    return dlg->exec();
}

} // namespace tp
