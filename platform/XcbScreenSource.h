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
    // Sends the pointer query and an image request for a slightly larger
    // area around the hint together, so that a sample costs one round trip
    // to the server instead of two; only when the pointer has moved beyond
    // that margin is the area read again.
    CursorSample sampleAtCursor(QPointF logicalHint, QSize size) override;

private:
    XcbScreenSource(xcb_connection_t* c, uint32_t root, int width, int height)
        : c_(c), root_(root), rootWidth_(width), rootHeight_(height) {}
    bool readInto(QImage& out, const QRect& deviceRect);
    // Sends an image request for the part of r on the root window.
    unsigned requestImage(const QRect& r) const;
    // Copies the answer to requestImage(part) into out, whose top-left is
    // outRect's; false when there is no answer.
    bool copyImage(unsigned cookie, const QRect& part, QImage& out, const QRect& outRect);
    QRect rootRect() const { return {0, 0, rootWidth_, rootHeight_}; }

    xcb_connection_t* c_;
    uint32_t root_;
    int rootWidth_, rootHeight_;
};

} // namespace tp
