#include "sampling/Magnifier.h"

#include "sampling/MagnifierGeometry.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

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
    const TRGB bg = ZoomBackground;
    img.fill(QColor(bg.r, bg.g, bg.b));
    return img;
}

void DrawZoom(QImage& zoom, const QImage& sample, TRGB cross) {
    if (zoom.size() != QSize(ZoomWidth, ZoomHeight) || zoom.format() != QImage::Format_RGB32)
        zoom = NewZoomBitmap();
    const QImage src = sample.format() == QImage::Format_RGB32
                           ? sample
                           : sample.convertToFormat(QImage::Format_RGB32);
    const int sw = std::min(src.width(), ZoomSrcWidth), sh = std::min(src.height(), ZoomSrcHeight);
    // This runs on every mouse move: widen each sample row once, then copy
    // it into the other rows of its block.
    uchar* bits = zoom.bits();
    const qsizetype stride = zoom.bytesPerLine();
    for (int sy = 0; sy < ZoomSrcHeight; ++sy) {
        auto* out = reinterpret_cast<QRgb*>(bits + stride * sy * ZoomFactor);
        const QRgb* in = sy < sh ? reinterpret_cast<const QRgb*>(src.constScanLine(sy)) : nullptr;
        for (int sx = 0; sx < ZoomSrcWidth; ++sx) {
            const QRgb px = in && sx < sw ? (in[sx] | 0xFF000000u) : 0xFF000000u;
            QRgb* block = out + sx * ZoomFactor;
            for (int k = 0; k < ZoomFactor; ++k)
                block[k] = px;
        }
        for (int k = 1; k < ZoomFactor; ++k)
            std::memcpy(bits + stride * (sy * ZoomFactor + k), out, ZoomWidth * sizeof(QRgb));
    }
    const QRgb ink = qRgb(cross.r, cross.g, cross.b);
    for (const PixRect& bar : {CrosshairVertical(), CrosshairHorizontal()})
        for (int y = bar.top; y < bar.bottom(); ++y) {
            auto* out = reinterpret_cast<QRgb*>(bits + stride * y);
            for (int x = bar.left; x < bar.right(); ++x)
                out[x] = ink;
        }
}

} // namespace tp
