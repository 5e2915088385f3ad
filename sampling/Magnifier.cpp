#include "sampling/Magnifier.h"

#include "sampling/MagnifierGeometry.h"

#include <QPainter>

namespace tp {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (OnPaint) OnPaint(p);
}

QImage NewZoomBitmap() {
    QImage img(ZoomWidth, ZoomHeight, QImage::Format_RGB32);
    const TRGB bg = ToRGB(ZoomBackground);
    img.fill(QColor(bg.r, bg.g, bg.b));
    return img;
}

void DrawZoom(QImage& zoom, const QImage& sample, TRGB cross) {
    if (zoom.size() != QSize(ZoomWidth, ZoomHeight) || zoom.format() != QImage::Format_RGB32)
        zoom = NewZoomBitmap();
    const QImage src = sample.format() == QImage::Format_RGB32
                           ? sample
                           : sample.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < ZoomHeight; ++y) {
        auto* out = reinterpret_cast<QRgb*>(zoom.scanLine(y));
        const int sy = y / ZoomFactor;
        const QRgb* in =
            sy < src.height() ? reinterpret_cast<const QRgb*>(src.constScanLine(sy)) : nullptr;
        for (int x = 0; x < ZoomWidth; ++x) {
            const int sx = x / ZoomFactor;
            out[x] = in && sx < src.width() ? (in[sx] | 0xFF000000u) : 0xFF000000u;
        }
    }
    const QRgb ink = qRgb(cross.r, cross.g, cross.b);
    for (const PixRect& bar : {CrosshairVertical(), CrosshairHorizontal()})
        for (int y = bar.top; y < bar.bottom(); ++y) {
            auto* out = reinterpret_cast<QRgb*>(zoom.scanLine(y));
            for (int x = bar.left; x < bar.right(); ++x)
                out[x] = ink;
        }
}

} // namespace tp
