#pragma once
// Reads the screen of an X11 display straight from the root window. Qt's
// grab goes through a server-side pixmap, a copy and a conversion and costs
// about ten plain image requests for a magnifier-sized area, too slow for a
// 1000 Hz mouse; one GetImage request is all a sample needs. Positions on
// the root window are device pixels already.
#include "platform/QtScreenSource.h"

#include <QAbstractNativeEventFilter>

#include <array>
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
    // Looked up among the pointer events the X server sent lately (the
    // reader watches them as they arrive), by time, kind and position.
    std::optional<QPoint> eventDevicePos(const QSinglePointEvent& e) const override;
    void fitWindow(QWindow* window, const QRect& deviceRect) override;

    ~XcbScreenSource() override;

private:
    XcbScreenSource(xcb_connection_t* c, uint32_t root, int width, int height, int xinputOpcode);

    // Pointer presses, releases and moves as the server reported them, in
    // device pixels of the root window.
    struct PointerEvent {
        int kind = 0; // a QEvent::Type: press, release or move
        uint32_t time = 0;
        QPointF root;
    };
    class PointerLog final : public QAbstractNativeEventFilter {
    public:
        explicit PointerLog(int xinputOpcode) : xinput_(xinputOpcode) {}
        bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
        // The n-th newest event kept, 1 the newest, up to Capacity.
        const PointerEvent& Newest(size_t n) const {
            return events_[(next_ + Capacity - n) % Capacity];
        }
        static constexpr size_t Capacity = 64;

    private:
        void add(int kind, uint32_t time, QPointF root);
        int xinput_;
        std::array<PointerEvent, Capacity> events_{};
        size_t next_ = 0;
    };
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
    std::unique_ptr<PointerLog> pointerLog_;
};

} // namespace tp
