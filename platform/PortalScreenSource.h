#pragma once
// Reads the screen through the desktop portal's Screenshot interface over
// D-Bus, the one way a Wayland desktop lets an ordinary program see it (and
// the only way an X11 program under XWayland sees native windows). Each
// freezeDesktop() asks for a non-interactive screenshot of the whole
// desktop, loads the picture the portal wrote, removes that file, and keeps
// the picture: every read until the next freeze comes from it.
#include "platform/ScreenSource.h"

namespace tp {

class PortalScreenSource final : public ScreenSource {
public:
    // overlayPick: a native Wayland client, which picks on an overlay of the
    // picture; under XWayland the drag from the swatch reads the picture.
    explicit PortalScreenSource(bool overlayPick);

    QString unavailableReason() const override { return {}; }
    bool live() const override { return false; }
    bool picksOnOverlay() const override { return overlay_; }
    FreezeResult freezeDesktop(bool allowColourPicker) override;

    QPoint cursorPos() const override;
    QPoint devicePosition(QPointF logicalGlobal) const override;
    void setCursorPos(QPoint devicePos) override;
    bool covers(QPoint devicePos) const override;
    std::optional<QRgb> pixel(QPoint devicePos) override;
    QImage grab(const QRect& deviceRect) override;
    // The event's position is the pointer's: a Wayland client cannot ask
    // the compositor where the pointer is.
    CursorSample sampleAtCursor(QPointF logicalHint, QSize size) override;
    QRect primaryRect() const override;

    // Where the last successful freeze spent its time, in microseconds:
    // from the request to the portal's answer, and loading the picture.
    struct Timing {
        qint64 replyUs = 0;
        qint64 decodeUs = 0;
    };
    Timing LastTiming() const { return lastTiming_; }

private:
    // How long to wait for the portal's answer.
    static constexpr int TimeoutMs = 30000;
    // Where the desktop may be asking the user for the screenshot permission
    // (nothing stored yet), the wait is a person's: up to this, or until the
    // desktop's dialog has given the keyboard back with nothing stored.
    static constexpr int AskingTimeoutMs = 120000;

    bool overlay_;
    // Keep the portal's picture files instead of removing them
    // ($TINTPICK_KEEP_SCREENSHOTS=1 when the program starts).
    bool keepFiles_ = false;
    Timing lastTiming_;
    DesktopFrame frame_;
};

} // namespace tp
