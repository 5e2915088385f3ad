#pragma once
// The pick swatch: a label whose background is a colour and whose caption is
// drawn in the inverse colour, or in black or white where the inverse would
// not stand out (colour/Contrast, LegibleOn).
#include "colour/ColorTypes.h"

#include <QWidget>

namespace tp {

class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit ColorSwatch(const QString& caption, QWidget* parent = nullptr);
    void setColor(TRGB c);
    TRGB color() const { return color_; }
    TRGB fontColor() const;

signals:
    void pressed(QMouseEvent* e);
    void moved(QMouseEvent* e);
    void released(QMouseEvent* e);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { emit pressed(e); }
    void mouseMoveEvent(QMouseEvent* e) override { emit moved(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { emit released(e); }

private:
    QString caption_;
    TRGB color_{255, 255, 255};
};

} // namespace tp
