#pragma once
// Reading the screen. Every position and size here is in device pixels of
// the virtual desktop (all monitors), the unit a designer's image editor
// measures in; the conversion from Qt's logical coordinates lives in the
// implementations.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QtGui/qrgb.h>

#include <optional>

namespace tp {

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // Empty when the screen can be read; otherwise a sentence for the user
    // saying why not (a desktop that forbids it, no display).
    virtual QString unavailableReason() const = 0;
    // The cursor position in device pixels.
    virtual QPoint cursorPos() const = 0;
    // Moves the cursor to a device pixel.
    virtual void setCursorPos(QPoint devicePos) = 0;
    // The colour of one device pixel; nullopt where no monitor covers it.
    virtual std::optional<QRgb> pixel(QPoint devicePos) = 0;
    // A rectangle of the virtual desktop; pixels no monitor covers are black.
    virtual QImage grab(const QRect& deviceRect) = 0;
    // The primary monitor's rectangle in device pixels.
    virtual QRect primaryRect() const = 0;
};

// Serves a synthetic desktop image for tests; the desktop's top-left device
// pixel is at `origin` (negative for monitors left of or above the primary).
class FakeScreenSource final : public ScreenSource {
public:
    explicit FakeScreenSource(QImage desktop, QPoint origin = {}, QRect primary = {})
        : desktop_(std::move(desktop)), origin_(origin),
          primary_(primary.isNull() ? QRect(origin, desktop_.size()) : primary) {}
    QString unavailableReason() const override { return reason; }
    QPoint cursorPos() const override { return cursor; }
    void setCursorPos(QPoint p) override { cursor = p; }
    std::optional<QRgb> pixel(QPoint p) override {
        const QPoint local = p - origin_;
        if (!desktop_.rect().contains(local)) return std::nullopt;
        return desktop_.pixel(local);
    }
    QImage grab(const QRect& r) override {
        QImage out(r.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                if (auto c = pixel(r.topLeft() + QPoint(x, y))) out.setPixel(x, y, *c);
        ++grabs;
        return out;
    }
    QRect primaryRect() const override { return primary_; }

    QImage& desktop() { return desktop_; }
    QPoint cursor;
    QString reason;
    int grabs = 0;

private:
    QImage desktop_;
    QPoint origin_;
    QRect primary_;
};

} // namespace tp
