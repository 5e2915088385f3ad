#pragma once
// Reads the Windows screen through GDI: GetPixel for one pixel, one BitBlt
// into a 32-bit DIB section for an area, GetCursorPos for the cursor. The
// screen's DC and the section for the magnifier's small areas are kept
// between reads, and so are the monitors' rectangles (until Qt reports a
// change of screens): each asking of the system for its monitors costs a
// round trip to Wine's server, as much as the magnifier's whole copy. The
// program declares itself per-monitor DPI aware (its manifest), so GDI
// speaks device pixels of the virtual desktop, where monitors left of or
// above the primary one have negative coordinates.
#include "platform/QtScreenSource.h"

#include <memory>

namespace tp {

class GdiScreenSource final : public QtScreenSource {
public:
    // Null when the screen's device context cannot be had.
    static std::unique_ptr<GdiScreenSource> create();
    ~GdiScreenSource() override;

    QPoint cursorPos() const override;
    void setCursorPos(QPoint devicePos) override;
    bool covers(QPoint devicePos) const override;
    std::optional<QRgb> pixel(QPoint devicePos) override;
    QImage grab(const QRect& deviceRect) override;
    QRect primaryRect() const override;
    // One BitBlt of the whole virtual desktop.
    FreezeResult freezeDesktop(bool allowColourPicker) override;

private:
    struct Dc;
    explicit GdiScreenSource(std::unique_ptr<Dc> dc);
    std::unique_ptr<Dc> dc_;
};

} // namespace tp
