#include "colour/Swatch.h"

#include "colour/Contrast.h"

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

TRGB ColorSwatch::fontColor() const {
    return LegibleOn(color_, InverseColor(color_));
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(color_.r, color_.g, color_.b));
    const TRGB ink = fontColor();
    p.setPen(QColor(ink.r, ink.g, ink.b));
    p.drawText(rect(), Qt::AlignCenter, caption_);
}

} // namespace tp
