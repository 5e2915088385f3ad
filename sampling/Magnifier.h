#pragma once
// The magnifier's drawing: a paint box that shows a persistent image, and
// the routine that enlarges a screen sample into that image under a
// crosshair.
#include "colour/ColorTypes.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace tp {

// A plain paint box: whatever its owner draws in it, nothing else.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);
    // The owner's drawing (OnPaint).
    void SetPainter(std::function<void(QPainter&)> paint) { onPaint_ = std::move(paint); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::function<void(QPainter&)> onPaint_;
};

// A fresh magnifier image (128 x 96) in its colour before the first sample.
QImage NewZoomBitmap();

// Copies a ZoomSrcWidth x ZoomSrcHeight sample into zoom (ZoomWidth x
// ZoomHeight), each sample pixel repeated into a ZoomFactor square, then
// fills the two crosshair bars with `cross`. A smaller sample leaves the
// rest of its area black.
void DrawZoom(QImage& zoom, const QImage& sample, TRGB cross);

} // namespace tp
