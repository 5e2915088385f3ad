#include "skin/Controls.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tp {

TbsSkinButton::TbsSkinButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
}

void TbsSkinButton::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!e->isAutoRepeat()) click();
        e->accept();
        return;
    }
    QPushButton::keyPressEvent(e);
}

TbsSkinStdLabel::TbsSkinStdLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {}

TbsSkinLinkLabel::TbsSkinLinkLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
}

void TbsSkinLinkLabel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) pressed_ = true;
    e->accept();
}

void TbsSkinLinkLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const bool over = rect().contains(e->position().toPoint());
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && over) emit clicked();
}

TbsSkinGroupBox::TbsSkinGroupBox(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {}

TbsSkinPanel::TbsSkinPanel(Bevel bevel, QWidget* parent) : QFrame(parent) {
    setProperty("bevel", bevel == Bevel::Raised ? "raised" : "flat");
    setFrameShape(QFrame::Panel);
    setFrameShadow(bevel == Bevel::Raised ? QFrame::Raised : QFrame::Plain);
    setLineWidth(1);
}

void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(left, top, width, height);
}

} // namespace tp
