#include "platform/QtScreenSource.h"

#include "platform/NativeParts.h"
#include "platform/ReaderChoice.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace tp {

std::vector<Monitor> QtMonitors() {
    std::vector<Monitor> out;
    for (QScreen* s : QGuiApplication::screens())
        out.push_back(MonitorFromLogical(ToPix(s->geometry()), s->devicePixelRatio()));
    return out;
}

QPoint QtScreenSource::cursorPos() const {
    const QPoint logical = QCursor::pos();
    if (auto d = CursorToDevice(QtMonitors(), ToPix(logical))) return ToQt(*d);
    return logical;
}

namespace {
QPoint qtDevicePosition(QPointF g) {
    if (auto d = GlobalToDevice(QtMonitors(), g.x(), g.y())) return ToQt(*d);
    return g.toPoint();
}
} // namespace

QPoint QtScreenSource::devicePosition(QPointF g) const {
    return qtDevicePosition(g);
}
QPoint NullScreenSource::devicePosition(QPointF g) const {
    return qtDevicePosition(g);
}

void QtScreenSource::setCursorPos(QPoint devicePos) {
    if (auto l = DeviceToCursor(QtMonitors(), ToPix(devicePos))) QCursor::setPos(ToQt(*l));
}

bool QtScreenSource::covers(QPoint devicePos) const {
    return OnSomeMonitor(QtMonitors(), ToPix(devicePos));
}

std::optional<QRgb> QtScreenSource::pixel(QPoint devicePos) {
    if (!OnSomeMonitor(QtMonitors(), ToPix(devicePos))) return std::nullopt;
    const QImage one = grab(QRect(devicePos, QSize(1, 1)));
    if (one.isNull()) return std::nullopt;
    return one.pixel(0, 0) | 0xFF000000u;
}

QImage QtScreenSource::grab(const QRect& deviceRect) {
    QImage out(deviceRect.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::black);
    const std::vector<Monitor> monitors = QtMonitors();
    const QList<QScreen*> screens = QGuiApplication::screens();
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const GrabPiece& piece : SplitGrab(monitors, ToPix(deviceRect))) {
        const Monitor& m = monitors[piece.monitor];
        const PixRect& l = piece.logicalInMonitor;
        // One logical pixel more on the right and bottom: the grab rounds
        // its device size, which can fall a pixel short of the piece.
        QPixmap shot = screens[static_cast<qsizetype>(piece.monitor)]->grabWindow(
            0, l.left, l.top, l.width + 1, l.height + 1);
        if (shot.isNull()) continue;
        // The grab starts at the device pixel Qt rounds its logical top-left
        // corner to, which may lie a little before the piece asked for when
        // the scale is fractional.
        QImage img = shot.toImage();
        img.setDevicePixelRatio(1.0);
        const int gotLeft = m.device.left + qRound(l.left * m.scale);
        const int gotTop = m.device.top + qRound(l.top * m.scale);
        const QRect src(piece.device.left - gotLeft, piece.device.top - gotTop, piece.device.width,
                        piece.device.height);
        p.drawImage(
            QPoint(piece.device.left - deviceRect.left(), piece.device.top - deviceRect.top()), img,
            src);
    }
    return out;
}

QRect QtScreenSource::primaryRect() const {
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return {};
    return ToQt(MonitorFromLogical(ToPix(s->geometry()), s->devicePixelRatio()).device);
}

FreezeResult QtScreenSource::freezeDesktop(bool) {
    FreezeResult r;
    const std::vector<Monitor> monitors = QtMonitors();
    const QRect all = ToQt(VirtualDesktop(monitors));
    QImage image = grab(all);
    if (image.isNull()) {
        r.error = QStringLiteral("无法读取屏幕。");
        return r;
    }
    r.frame = DesktopFrame{std::move(image), all.topLeft(), monitors};
    return r;
}

QPoint NullScreenSource::cursorPos() const {
    if (auto d = CursorToDevice(QtMonitors(), ToPix(QCursor::pos()))) return ToQt(*d);
    return QCursor::pos();
}

QImage NullScreenSource::grab(const QRect& deviceRect) {
    QImage out(deviceRect.size(), QImage::Format_RGB32);
    out.fill(Qt::black);
    return out;
}

ReaderEnvironment CurrentReaderEnvironment() {
    ReaderEnvironment env;
    env.platform = QGuiApplication::platformName().toStdString();
    env.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY").toStdString();
    env.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE").toStdString();
    env.hasScreens = !QGuiApplication::screens().isEmpty();
    return env;
}

std::unique_ptr<ScreenSource> CreateScreenSource() {
    const ReaderChoice choice = ChooseScreenReader(CurrentReaderEnvironment());
    if (choice.reader == ScreenReader::None)
        return std::make_unique<NullScreenSource>(QString::fromStdString(choice.reason));
    if (auto native = CreateNativeReader(choice)) return native;
    return std::make_unique<QtScreenSource>();
}

} // namespace tp
