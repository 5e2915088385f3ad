#pragma once
// Reading the screen. Every position and size here is in device pixels of
// the virtual desktop (all monitors), the unit a designer's image editor
// measures in; the conversion from Qt's logical coordinates lives in the
// implementations.
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QtGui/qrgb.h>
#include <QtMath>

#include "base/Rgb.h"
#include "base/ScreenGeometry.h"

#include <optional>
#include <vector>

class QSinglePointEvent;
class QWindow;

namespace tp {

// A reader's pixel as the program's colour; the alpha byte is dropped.
constexpr TRGB FromQRgb(QRgb c) {
    return {static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
            static_cast<uint8_t>(qBlue(c))};
}

// The whole desktop in one picture, frozen at one moment, for picking on an
// overlay and for readers that cannot read the live screen.
struct DesktopFrame {
    QImage image;
    // The device position of the picture's top-left pixel.
    QPoint origin;
    // Every monitor, in the order of QGuiApplication::screens(): its logical
    // rectangle as Qt reports it and its device rectangle in the same
    // coordinates as `origin`.
    std::vector<Monitor> monitors;
};

// What freezing the desktop gave: a picture, or (where the desktop hands out
// no pictures but has a colour picker of its own) the colour the user picked
// with that, or neither and the sentence saying why.
struct FreezeResult {
    std::optional<DesktopFrame> frame;
    std::optional<QRgb> pickedColour;
    QString error;
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // Empty when the screen can be read; otherwise a sentence for the user
    // saying why not (a desktop that forbids it, no display).
    virtual QString unavailableReason() const = 0;
    // The cursor position in device pixels.
    virtual QPoint cursorPos() const = 0;
    // A global position in Qt's logical pixels (a mouse event's
    // globalPosition(), which keeps the fraction a scaled desktop gives it)
    // as the device pixel under it.
    virtual QPoint devicePosition(QPointF logicalGlobal) const {
        return {qFloor(logicalGlobal.x()), qFloor(logicalGlobal.y())};
    }
    // Moves the cursor to a device pixel.
    virtual void setCursorPos(QPoint devicePos) = 0;
    // True when a monitor shows this device pixel.
    virtual bool covers(QPoint devicePos) const { return primaryRect().contains(devicePos); }
    // The colour of one device pixel; nullopt where no monitor covers it.
    virtual std::optional<QRgb> pixel(QPoint devicePos) = 0;
    // A rectangle of the virtual desktop; pixels no monitor covers are black.
    virtual QImage grab(const QRect& deviceRect) = 0;
    // Reads where the cursor is and the area of `size` around it (top-left
    // at the cursor less half the size) as one sample. `logicalHint` is
    // where the caller believes the cursor to be (a mouse event's global
    // position), so that a reader can ask for both at once.
    struct CursorSample {
        QPoint cursor;
        QImage area;
    };
    virtual CursorSample sampleAtCursor(QPointF logicalHint, QSize size) {
        Q_UNUSED(logicalHint);
        const QPoint c = cursorPos();
        return {c, grab(QRect(c - QPoint(size.width() / 2, size.height() / 2), size))};
    }
    // The primary monitor's rectangle in device pixels.
    virtual QRect primaryRect() const = 0;
    // The device pixel at which the window system reported a mouse event,
    // where the reader can tell: Qt rounds the positions of X11 events to
    // whole logical pixels, which on a scaled desktop leaves the device pixel
    // uncertain. nullopt where unknown; the event's own position is all there is.
    virtual std::optional<QPoint> eventDevicePos(const QSinglePointEvent& e) const {
        Q_UNUSED(e);
        return std::nullopt;
    }
    // Gives a window exactly this rectangle of device pixels. Qt sizes windows
    // in logical pixels, which on a fractional scale can end a pixel past the
    // screen; where the reader cannot do better, the window keeps Qt's size.
    virtual void fitWindow(QWindow* window, const QRect& deviceRect) {
        Q_UNUSED(window);
        Q_UNUSED(deviceRect);
    }

    // False for a reader that only sees the moments freezeDesktop() took:
    // it must freeze before reading, and pixel() and grab() then read that
    // picture.
    virtual bool live() const { return true; }
    // True where picking happens on an overlay of a frozen picture rather
    // than by dragging from the swatch (see ReaderChoice).
    virtual bool picksOnOverlay() const { return false; }
    // Takes a picture of the whole desktop. `allowColourPicker` lets a
    // desktop that refuses the picture offer its own colour picker instead.
    virtual FreezeResult freezeDesktop(bool allowColourPicker) {
        Q_UNUSED(allowColourPicker);
        FreezeResult r;
        r.error = unavailableReason();
        if (r.error.isEmpty()) r.error = QStringLiteral("无法读取屏幕。");
        return r;
    }
};

} // namespace tp
