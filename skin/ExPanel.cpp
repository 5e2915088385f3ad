#include "skin/ExPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace tp {

namespace {
QToolButton* captionButton(QWidget* parent, const QString& name, const QString& glyph) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(glyph);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setFixedSize(16, 16);
    b->setCursor(Qt::ArrowCursor);
    return b;
}
} // namespace

TbsSkinExPanel::TbsSkinExPanel(const QString& caption, QWidget* parent) : QFrame(parent) {
    setProperty("exPanel", true);
    setAttribute(Qt::WA_StyledBackground, true);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);

    caption_ = new QWidget(this);
    caption_->setObjectName(QStringLiteral("exPanelCaption"));
    caption_->setAttribute(Qt::WA_StyledBackground, true);
    caption_->setMouseTracking(true);
    auto* row = new QHBoxLayout(caption_);
    row->setContentsMargins(4, 0, 2, 0);
    row->setSpacing(1);
    title_ = new QLabel(caption, caption_);
    title_->setObjectName(QStringLiteral("exPanelTitle"));
    row->addWidget(title_, 1);
    rollButton_ =
        captionButton(caption_, QStringLiteral("exPanelRollButton"), QStringLiteral("\u25B4"));
    row->addWidget(rollButton_);
    closeButton_ =
        captionButton(caption_, QStringLiteral("exPanelCloseButton"), QStringLiteral("\u00D7"));
    row->addWidget(closeButton_);

    connect(rollButton_, &QToolButton::clicked, this, [this] { SetRollState(!rolledUp_); });
    connect(closeButton_, &QToolButton::clicked, this, &TbsSkinExPanel::closeClicked);
}

void TbsSkinExPanel::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    caption_->setGeometry(0, 0, width(), RollUpHeight);
}

void TbsSkinExPanel::SetRollState(bool up) {
    if (up == rolledUp_) return;
    rolledUp_ = up;
    if (up) {
        unrolledHeight_ = height();
        hiddenByRoll_.clear();
        for (QObject* o : children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && w != caption_ && !w->isHidden()) {
                hiddenByRoll_.append(w);
                w->hide();
            }
        }
        resize(width(), RollUpHeight);
        rollButton_->setText(QStringLiteral("\u25BE"));
        emit rolledUp();
    } else {
        resize(width(), unrolledHeight_);
        for (const QPointer<QWidget>& w : std::as_const(hiddenByRoll_))
            if (w) w->show();
        hiddenByRoll_.clear();
        rollButton_->setText(QStringLiteral("\u25B4"));
        emit rolledDown();
    }
}

void TbsSkinExPanel::closeClicked() {
    hide();
    emit closed();
}

void TbsSkinExPanel::mousePressEvent(QMouseEvent* e) {
    e->accept();
}
void TbsSkinExPanel::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
}
void TbsSkinExPanel::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
}
void TbsSkinExPanel::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
}

} // namespace tp
