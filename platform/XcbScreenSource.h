#pragma once
// Reads the screen of an X11 display straight from the root window. Qt's
// grab goes through a server-side pixmap, a copy and a conversion and costs
// about ten plain image requests for a magnifier-sized area, too slow for a
// 1000 Hz mouse; one GetImage request is all a sample needs. Positions on
// the root window are device pixels already.
#include "platform/QtScreenSource.h"

#include <memory>

struct xcb_connection_t;

namespace tp {

class XcbScreenSource final : public QtScreenSource {
public:
    // Null unless the application runs on X11 with a 24/32-bit true-colour
    // root window in a layout this reader understands.
    static std::unique_ptr<XcbScreenSource> create();

    QPoint cursorPos() const override;
    void setCursorPos(QPoint devicePos) override;
    std::optional<QRgb> pixel(QPoint devicePos) override;
    QImage grab(const QRect& deviceRect) override;

private:
    XcbScreenSource(xcb_connection_t* c, uint32_t root, int width, int height)
        : c_(c), root_(root), rootWidth_(width), rootHeight_(height) {}
    bool readInto(QImage& out, const QRect& deviceRect);

    xcb_connection_t* c_;
    uint32_t root_;
    int rootWidth_, rootHeight_;
};

} // namespace tp
