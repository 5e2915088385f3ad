#include "skin/Controls.h"

namespace tp {

TbsSkinButton::TbsSkinButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    setAutoDefault(false);
}

TbsSkinStdLabel::TbsSkinStdLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {}

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
