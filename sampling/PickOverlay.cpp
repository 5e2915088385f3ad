#include "sampling/PickOverlay.h"

#include "colour/ColorTypes.h"
#include "platform/QtScreenSource.h"
#include "sampling/Magnifier.h"
#include "sampling/MagnifierGeometry.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace tp {

namespace {
// The loupe: the magnifier image over a strip with the colour and its code,
// set off from the pointer so that it never hides the pixel being picked.
constexpr int LoupeStrip = 22;
constexpr int LoupeOffset = 24;

QPoint OnFrame(const DesktopFrame& f, QPoint device) {
    return device - f.origin;
}
} // namespace

TPickOverlayWindow::TPickOverlayWindow(TPickOverlay& overlay, size_t monitor)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      overlay_(overlay), monitor_(monitor) {
    setObjectName(QStringLiteral("frmPickOverlay"));
    setWindowTitle(QStringLiteral("取色"));
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void TPickOverlayWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const DesktopFrame& f = overlay_.Frame();
    const Monitor& m = f.monitors[monitor_];
    const QRect src(OnFrame(f, QPoint(m.device.left, m.device.top)),
                    QSize(m.device.width, m.device.height));
    p.drawImage(QRectF(rect()), f.image, QRectF(src));
    if (!overlay_.painted_) {
        overlay_.painted_ = true;
        emit overlay_.firstPainted();
    }
    const QRect loupe = overlay_.LoupeRect(monitor_);
    if (loupe.isEmpty()) return;
    const QImage img = overlay_.LoupeImage();
    p.drawImage(QRect(loupe.topLeft() + QPoint(2, 2), QSize(ZoomWidth, ZoomHeight)), img);
    const TRGB rgb = overlay_.SampledColour();
    const TRGB ink = InverseColor(rgb);
    const QRect strip(loupe.left() + 2, loupe.top() + 2 + ZoomHeight, ZoomWidth, LoupeStrip);
    p.fillRect(strip, QColor(rgb.r, rgb.g, rgb.b));
    p.setPen(QColor(ink.r, ink.g, ink.b));
    p.drawText(strip, Qt::AlignCenter,
               QStringLiteral("#%1").arg(QString::fromStdString(HexCode(rgb))));
    // A white frame inside a black one stands out on any picture.
    p.setPen(Qt::black);
    p.drawRect(loupe.adjusted(0, 0, -1, -1));
    p.setPen(Qt::white);
    p.drawRect(loupe.adjusted(1, 1, -2, -2));
}

void TPickOverlayWindow::mouseMoveEvent(QMouseEvent* e) {
    overlay_.PointerAt(monitor_, e->position());
}

void TPickOverlayWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        overlay_.Cancel();
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    // The press position is what the user aimed at; no move may have come
    // before it.
    overlay_.PointerAt(monitor_, e->position());
    overlay_.Pick();
}

void TPickOverlayWindow::keyPressEvent(QKeyEvent* e) {
    if (!overlay_.HandleKey(e->key(), e->modifiers())) QWidget::keyPressEvent(e);
}

TPickOverlay::TPickOverlay(DesktopFrame frame, QObject* parent)
    : QObject(parent), frame_(std::move(frame)) {}

TPickOverlay::~TPickOverlay() {
    for (auto& w : windows_)
        delete w.data();
}

void TPickOverlay::show() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (size_t i = 0; i < frame_.monitors.size(); ++i) {
        auto* w = new TPickOverlayWindow(*this, i);
        windows_.emplace_back(w);
        const Monitor& m = frame_.monitors[i];
        if (static_cast<qsizetype>(i) < screens.size()) {
            // Tied to its screen before it is shown, so that a Wayland
            // compositor puts the full-screen surface on that output.
            w->setScreen(screens[static_cast<qsizetype>(i)]);
            w->setGeometry(screens[static_cast<qsizetype>(i)]->geometry());
        } else {
            w->setGeometry(m.logical.left, m.logical.top, m.logical.width, m.logical.height);
        }
        w->showFullScreen();
    }
    // Esc and the arrows must reach the overlay whichever of the program's
    // windows the keyboard is on.
    qApp->installEventFilter(this);
    if (!windows_.empty() &&
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // On X11 the overlay takes the keyboard itself; a Wayland compositor
        // gives a new full-screen surface the focus on its own, and asking
        // for it again only muddles the focus it reports.
        QWidget* first = windows_.front();
        first->raise();
        first->activateWindow();
        first->setFocus();
        first->grabKeyboard();
    }
}

bool TPickOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !done_) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (HandleKey(ke->key(), ke->modifiers())) return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TPickOverlay::HandleKey(int key, Qt::KeyboardModifiers mods) {
    const int step = (mods & Qt::ShiftModifier) ? 10 : 1;
    switch (key) {
    case Qt::Key_Escape:
        Cancel();
        return true;
    case Qt::Key_Left:
        Nudge(-step, 0);
        return true;
    case Qt::Key_Right:
        Nudge(step, 0);
        return true;
    case Qt::Key_Up:
        Nudge(0, -step);
        return true;
    case Qt::Key_Down:
        Nudge(0, step);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Pick();
        return true;
    default:
        return false;
    }
}

void TPickOverlay::PointerAt(size_t monitor, QPointF local) {
    if (done_ || monitor >= frame_.monitors.size()) return;
    const Monitor& m = frame_.monitors[monitor];
    pointer_ = local;
    pointerMonitor_ = monitor;
    // Each window covers exactly its monitor, so the logical position on
    // the desktop is the monitor's corner plus the local one; the window's
    // own idea of its global position is unreliable on Wayland.
    const auto d = GlobalToDevice({m}, m.logical.left + local.x(), m.logical.top + local.y());
    if (!d) return;
    sampled_ = ToQt(*d);
    sample();
}

void TPickOverlay::Nudge(int dx, int dy) {
    if (done_ || !hasSample_) return;
    // The pointer cannot be warped on every desktop: the sampled pixel moves
    // instead, kept on the picture.
    const PixRect all = VirtualDesktop(frame_.monitors);
    sampled_.setX(std::clamp(sampled_.x() + dx, all.left, all.right() - 1));
    sampled_.setY(std::clamp(sampled_.y() + dy, all.top, all.bottom() - 1));
    if (auto i = MonitorAtDevice(frame_.monitors, ToPix(sampled_))) pointerMonitor_ = *i;
    sample();
}

TRGB TPickOverlay::SampledColour() const {
    const QPoint at = OnFrame(frame_, sampled_);
    if (!OnSomeMonitor(frame_.monitors, ToPix(sampled_)) || !frame_.image.rect().contains(at))
        return {255, 255, 255};
    return FromQRgb(frame_.image.pixel(at));
}

QImage TPickOverlay::LoupeImage() const {
    QImage zoom = NewZoomBitmap();
    const PixRect src = ZoomSource(ToPix(OnFrame(frame_, sampled_)));
    DrawZoom(zoom, frame_.image.copy(src.left, src.top, src.width, src.height),
             InverseColor(SampledColour()));
    return zoom;
}

QRect TPickOverlay::LoupeRect(size_t monitor) const {
    if (!hasSample_ || monitor != pointerMonitor_ || monitor >= windows_.size() ||
        !windows_[monitor])
        return {};
    const QSize size(ZoomWidth + 4, ZoomHeight + LoupeStrip + 4);
    const QRect area = windows_[monitor]->rect();
    // Where the pointer's logical position is, or where the nudged pixel
    // lies on this monitor.
    const Monitor& m = frame_.monitors[monitor];
    const QPointF at((sampled_.x() - m.device.left) / m.scale,
                     (sampled_.y() - m.device.top) / m.scale);
    QPoint tl = at.toPoint() + QPoint(LoupeOffset, LoupeOffset);
    // Flipped to the other side of the pointer near the right or bottom edge.
    if (tl.x() + size.width() > area.right())
        tl.setX(at.toPoint().x() - LoupeOffset - size.width());
    if (tl.y() + size.height() > area.bottom())
        tl.setY(at.toPoint().y() - LoupeOffset - size.height());
    return QRect(tl, size);
}

void TPickOverlay::sample() {
    hasSample_ = true;
    const PixRect src = ZoomSource(ToPix(OnFrame(frame_, sampled_)));
    emit sampled(sampled_, OnSomeMonitor(frame_.monitors, ToPix(sampled_)),
                 frame_.image.copy(src.left, src.top, src.width, src.height));
    for (auto& w : windows_)
        if (w) w->update();
}

void TPickOverlay::Pick() {
    if (done_ || !hasSample_) return;
    done_ = true;
    const QPoint at = sampled_;
    const TRGB c = SampledColour();
    finish();
    emit picked(at, c);
    emit finished();
}

void TPickOverlay::Cancel() {
    if (done_) return;
    done_ = true;
    finish();
    emit cancelled();
    emit finished();
}

void TPickOverlay::finish() {
    qApp->removeEventFilter(this);
    for (auto& w : windows_) {
        if (!w) continue;
        w->releaseKeyboard();
        w->hide();
        w->deleteLater();
    }
}

} // namespace tp
