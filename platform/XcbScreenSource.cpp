#include "platform/XcbScreenSource.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace tp {

namespace {
template <class Reply> struct FreeReply {
    void operator()(Reply* r) const { std::free(r); }
};
template <class Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;
} // namespace

std::unique_ptr<XcbScreenSource> XcbScreenSource::create() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c)) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(c);
    // The reader copies rows as 32-bit little-endian pixels: it needs a
    // 24- or 32-bit root stored at 32 bits per pixel, least significant byte
    // first. Anything else (8-bit palettes, 16-bit displays) goes through Qt.
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return nullptr;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (!screen || (screen->root_depth != 24 && screen->root_depth != 32)) return nullptr;
    bool fourBytes = false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == screen->root_depth) fourBytes = it.data->bits_per_pixel == 32;
    if (!fourBytes) return nullptr;
    return std::unique_ptr<XcbScreenSource>(
        new XcbScreenSource(c, screen->root, screen->width_in_pixels, screen->height_in_pixels));
}

QPoint XcbScreenSource::cursorPos() const {
    ReplyPtr<xcb_query_pointer_reply_t> r(
        xcb_query_pointer_reply(c_, xcb_query_pointer(c_, root_), nullptr));
    if (!r) return QtScreenSource::cursorPos();
    return {r->root_x, r->root_y};
}

void XcbScreenSource::setCursorPos(QPoint p) {
    xcb_warp_pointer(c_, XCB_NONE, root_, 0, 0, 0, 0, static_cast<int16_t>(p.x()),
                     static_cast<int16_t>(p.y()));
    xcb_flush(c_);
}

std::optional<QRgb> XcbScreenSource::pixel(QPoint p) {
    if (!OnSomeMonitor(QtMonitors(), ToPix(p))) return std::nullopt;
    QImage one(1, 1, QImage::Format_RGB32);
    if (!readInto(one, QRect(p, QSize(1, 1)))) return std::nullopt;
    return one.pixel(0, 0);
}

QImage XcbScreenSource::grab(const QRect& deviceRect) {
    QImage out(deviceRect.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::black);
    readInto(out, deviceRect);
    return out;
}

unsigned XcbScreenSource::requestImage(const QRect& part) const {
    return xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<int16_t>(part.x()),
                         static_cast<int16_t>(part.y()), static_cast<uint16_t>(part.width()),
                         static_cast<uint16_t>(part.height()), ~0u)
        .sequence;
}

bool XcbScreenSource::copyImage(unsigned cookie, const QRect& part, QImage& out,
                                const QRect& outRect) {
    xcb_generic_error_t* err = nullptr;
    ReplyPtr<xcb_get_image_reply_t> r(
        xcb_get_image_reply(c_, xcb_get_image_cookie_t{cookie}, &err));
    std::free(err);
    if (!r) return false;
    const int stride = part.width() * 4;
    if (xcb_get_image_data_length(r.get()) < stride * part.height()) return false;
    const uint8_t* data = xcb_get_image_data(r.get());
    const QRect both = part.intersected(outRect);
    for (int y = both.top(); y <= both.bottom(); ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(out.scanLine(y - outRect.y())) + (both.x() - outRect.x());
        const uint8_t* in = data + (y - part.y()) * stride + (both.x() - part.x()) * 4;
        std::memcpy(row, in, static_cast<size_t>(both.width()) * 4);
        // The pad byte is not guaranteed to be zero or opaque.
        for (int x = 0; x < both.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return true;
}

// Copies the part of the root window inside deviceRect into out (whose
// top-left is deviceRect's); the rest of out is left as it was.
bool XcbScreenSource::readInto(QImage& out, const QRect& deviceRect) {
    const QRect part = deviceRect.intersected(rootRect());
    if (part.isEmpty()) return false;
    return copyImage(requestImage(part), part, out, deviceRect);
}

ScreenSource::CursorSample XcbScreenSource::sampleAtCursor(QPointF hint, QSize size) {
    const QPoint half(size.width() / 2, size.height() / 2);
    // A logical position is off by less than one logical pixel: a margin of
    // a few device pixels covers any scale up to 3 and a little movement.
    constexpr int margin = 4;
    const QRect wide = QRect(devicePosition(hint) - half, size)
                           .adjusted(-margin, -margin, margin, margin)
                           .intersected(rootRect());
    const auto pointer = xcb_query_pointer(c_, root_);
    const unsigned image = wide.isEmpty() ? 0 : requestImage(wide);
    ReplyPtr<xcb_query_pointer_reply_t> p(xcb_query_pointer_reply(c_, pointer, nullptr));
    CursorSample s;
    s.cursor = p ? QPoint(p->root_x, p->root_y) : QtScreenSource::cursorPos();
    const QRect want(s.cursor - half, size);
    s.area = QImage(size, QImage::Format_RGB32);
    s.area.fill(Qt::black);
    const QRect needed = want.intersected(rootRect());
    bool done = false;
    if (image) {
        // The answer must be collected either way.
        const bool got = copyImage(image, wide, s.area, want);
        done = got && wide.contains(needed);
    }
    if (!done && !needed.isEmpty()) readInto(s.area, want);
    return s;
}

} // namespace tp
