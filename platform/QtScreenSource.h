#pragma once
// The real screen readers behind ScreenSource, and the choice between them.
#include "base/ScreenGeometry.h"
#include "platform/ReaderChoice.h"
#include "platform/ScreenSource.h"

#include <memory>
#include <vector>

namespace tp {

// The monitors as Qt reports them, with their device-pixel rectangles.
std::vector<Monitor> QtMonitors();

// Reads the screen through QScreen::grabWindow on any platform Qt can grab
// on. Positions are mapped between Qt's logical pixels and device pixels with
// the rules of base/ScreenGeometry, monitor by monitor.
class QtScreenSource : public ScreenSource {
public:
    QString unavailableReason() const override { return {}; }
    QPoint cursorPos() const override;
    QPoint devicePosition(QPointF logicalGlobal) const override;
    void setCursorPos(QPoint devicePos) override;
    bool covers(QPoint devicePos) const override;
    std::optional<QRgb> pixel(QPoint devicePos) override;
    QImage grab(const QRect& deviceRect) override;
    QRect primaryRect() const override;
    // One grab of every monitor's area (the X11 reader's own grab on X11).
    FreezeResult freezeDesktop(bool allowColourPicker) override;
};

// Stands in where the screen cannot be read (a Wayland session without X11,
// no display at all): every read fails and unavailableReason() says why, so
// the user gets a sentence instead of a black magnifier.
class NullScreenSource final : public ScreenSource {
public:
    explicit NullScreenSource(QString reason) : reason_(std::move(reason)) {}
    QString unavailableReason() const override { return reason_; }
    QPoint cursorPos() const override;
    QPoint devicePosition(QPointF logicalGlobal) const override;
    void setCursorPos(QPoint) override {}
    bool covers(QPoint) const override { return false; }
    std::optional<QRgb> pixel(QPoint) override { return std::nullopt; }
    QImage grab(const QRect& deviceRect) override;
    QRect primaryRect() const override { return {}; }

private:
    QString reason_;
};

// The best reader for the running platform, as ChooseScreenReader decides from
// the platform and the session: the native X11 reader on plain X11 (Qt's
// grab where it cannot work), the desktop portal on Wayland and under
// XWayland, Qt's grab on other desktops, the null reader where reading is
// impossible. Needs a QGuiApplication.
std::unique_ptr<ScreenSource> CreateScreenSource();
// The session as the reader choice (and the shortcut's) reads it: Qt's
// platform, the Wayland display, the session type, whether there are screens.
ReaderEnvironment CurrentReaderEnvironment();

// Conversions between the seam's Qt types and the core's pixel types.
inline PixPoint ToPix(QPoint p) {
    return {p.x(), p.y()};
}
inline QPoint ToQt(PixPoint p) {
    return {p.x, p.y};
}
inline PixRect ToPix(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}
inline QRect ToQt(const PixRect& r) {
    return {r.left, r.top, r.width, r.height};
}

} // namespace tp
