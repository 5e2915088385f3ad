#pragma once
// Picking on a frozen picture of the desktop: a full-screen window on every
// monitor shows its part of the picture, a loupe with the colour's code
// follows the pointer, a click picks the device pixel under it, the arrow
// keys (Shift: ten pixels) move the sampled pixel, Esc or the right button
// cancel. This is how a pick works where the program cannot follow the
// pointer across the live screen (a Wayland desktop), and how a one-shot
// pick works everywhere.
#include "colour/ColorTypes.h"
#include "platform/ScreenSource.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace tp {

class TPickOverlay;

// One monitor's window of the overlay.
class TPickOverlayWindow : public QWidget {
    Q_OBJECT
public:
    TPickOverlayWindow(TPickOverlay& overlay, size_t monitor);
    size_t monitor() const { return monitor_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TPickOverlay& overlay_;
    size_t monitor_;
};

class TPickOverlay : public QObject {
    Q_OBJECT
public:
    explicit TPickOverlay(DesktopFrame frame, QObject* parent = nullptr);
    ~TPickOverlay() override;

    // Shows a window over every monitor of the frame.
    void show();

    // What the windows do with their input, open for tests.
    // The pointer at a position local to a monitor's window (logical pixels,
    // with the fraction a scaled desktop gives it).
    void PointerAt(size_t monitor, QPointF local);
    void Nudge(int dx, int dy);
    void Pick();
    void Cancel();
    // Esc, the arrows (Shift: ten pixels) and Enter; false for other keys.
    bool HandleKey(int key, Qt::KeyboardModifiers mods);

    bool HasSample() const { return hasSample_; }
    QPoint Sampled() const { return sampled_; }
    TRGB SampledColour() const;
    const DesktopFrame& Frame() const { return frame_; }
    const std::vector<QPointer<TPickOverlayWindow>>& Windows() const { return windows_; }
    // The loupe's rectangle on a monitor's window (empty when the sampled
    // pixel is on another monitor), and its image.
    QRect LoupeRect(size_t monitor) const;
    QImage LoupeImage() const;

signals:
    // Every new sample: the device pixel, whether a monitor shows it, and
    // the magnifier's area around it.
    void sampled(QPoint device, bool onScreen, const QImage& area);
    // The pick ends with the sampled pixel and its colour, or cancelled;
    // finished() follows either.
    void picked(QPoint device, TRGB colour);
    void cancelled();
    void finished();
    // The first window has painted the picture (once per overlay).
    void firstPainted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sample();
    void finish();

    DesktopFrame frame_;
    std::vector<QPointer<TPickOverlayWindow>> windows_;
    QPoint sampled_;
    QPointF pointer_; // logical position within the monitor's window
    size_t pointerMonitor_ = 0;
    bool hasSample_ = false;
    bool done_ = false;
    bool painted_ = false;
    friend class TPickOverlayWindow;
};

} // namespace tp
