#include "colour/Swatch.h"

#include <QPainter>

namespace tp {

ColorSwatch::ColorSwatch(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColorSwatch::setColor(TRGB c) {
    if (c == color_) return;
    color_ = c;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(color_.r, color_.g, color_.b));
    const TRGB ink = InverseColor(color_);
    p.setPen(QColor(ink.r, ink.g, ink.b));
    p.drawText(rect(), Qt::AlignCenter, caption_);
}

} // namespace tp
