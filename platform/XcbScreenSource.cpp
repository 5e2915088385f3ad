#include "platform/XcbScreenSource.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace tp {

namespace {
template <class Reply> struct FreeReply {
    void operator()(Reply* r) const { std::free(r); }
};
template <class Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

// A pointer event of the X Input extension 2 (XIDeviceEvent) as libxcb hands
// it over: the 32 bytes of the wire event, the full sequence number libxcb
// puts after them, then the rest of the wire event.
struct XiDeviceEvent {
    uint8_t responseType;
    uint8_t extension;
    uint16_t sequence;
    uint32_t length;
    uint16_t eventType;
    uint16_t deviceId;
    uint32_t time;
    uint32_t detail;
    uint32_t root;
    uint32_t event;
    uint32_t child;
    uint32_t fullSequence;
    int32_t rootX; // 16.16 fixed point
    int32_t rootY;
};
constexpr uint16_t XiButtonPress = 4, XiButtonRelease = 5, XiMotion = 6;

int XInputOpcode(xcb_connection_t* c) {
    static constexpr char name[] = "XInputExtension";
    ReplyPtr<xcb_query_extension_reply_t> r(
        xcb_query_extension_reply(c, xcb_query_extension(c, sizeof name - 1, name), nullptr));
    return r && r->present ? r->major_opcode : -1;
}
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
    return std::unique_ptr<XcbScreenSource>(new XcbScreenSource(
        c, screen->root, screen->width_in_pixels, screen->height_in_pixels, XInputOpcode(c)));
}

XcbScreenSource::XcbScreenSource(xcb_connection_t* c, uint32_t root, int width, int height,
                                 int xinputOpcode)
    : c_(c), root_(root), rootWidth_(width), rootHeight_(height),
      pointerLog_(std::make_unique<PointerLog>(xinputOpcode)) {
    QCoreApplication::instance()->installNativeEventFilter(pointerLog_.get());
}

XcbScreenSource::~XcbScreenSource() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(pointerLog_.get());
}

void XcbScreenSource::PointerLog::add(int kind, uint32_t time, QPointF root) {
    events[next] = {kind, time, root};
    next = (next + 1) % events.size();
}

bool XcbScreenSource::PointerLog::nativeEventFilter(const QByteArray& type, void* message,
                                                    qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    const int response = ev->response_type & 0x7F;
    if (response == XCB_GE_GENERIC) {
        const auto* xi = static_cast<const XiDeviceEvent*>(message);
        if (xinput_ < 0 || xi->extension != xinput_) return false;
        const QPointF at(xi->rootX / 65536.0, xi->rootY / 65536.0);
        if (xi->eventType == XiButtonPress) add(QEvent::MouseButtonPress, xi->time, at);
        if (xi->eventType == XiButtonRelease) add(QEvent::MouseButtonRelease, xi->time, at);
        if (xi->eventType == XiMotion) add(QEvent::MouseMove, xi->time, at);
    } else if (response == XCB_BUTTON_PRESS || response == XCB_BUTTON_RELEASE) {
        const auto* b = static_cast<const xcb_button_press_event_t*>(message);
        add(response == XCB_BUTTON_PRESS ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
            b->time, QPointF(b->root_x, b->root_y));
    } else if (response == XCB_MOTION_NOTIFY) {
        const auto* m = static_cast<const xcb_motion_notify_event_t*>(message);
        add(QEvent::MouseMove, m->time, QPointF(m->root_x, m->root_y));
    }
    return false;
}

std::optional<QPoint> XcbScreenSource::eventDevicePos(const QSinglePointEvent& e) const {
    const int kind = e.type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : e.type();
    const auto time = static_cast<uint32_t>(e.timestamp());
    const QPointF logical = e.globalPosition();
    const std::vector<Monitor> monitors = QtMonitors();
    // Newest first. Several events can share a millisecond; the one meant is
    // the one at the event's logical position, which Qt derived from it.
    for (size_t n = 1; n <= pointerLog_->events.size(); ++n) {
        const PointerEvent& p =
            pointerLog_->events[(pointerLog_->next + pointerLog_->events.size() - n) %
                                pointerLog_->events.size()];
        if (p.kind != kind || p.time != time) continue;
        const PixPoint device{static_cast<int>(std::floor(p.root.x())),
                              static_cast<int>(std::floor(p.root.y()))};
        const auto i = MonitorAtDevice(monitors, device);
        if (!i) continue;
        const Monitor& m = monitors[*i];
        const double lx = m.logical.left + (p.root.x() - m.device.left) / m.scale;
        const double ly = m.logical.top + (p.root.y() - m.device.top) / m.scale;
        if (std::abs(lx - logical.x()) <= 0.5 + 1e-6 && std::abs(ly - logical.y()) <= 0.5 + 1e-6)
            return ToQt(device);
    }
    return std::nullopt;
}

void XcbScreenSource::fitWindow(QWindow* window, const QRect& r) {
    if (!window || r.isEmpty()) return;
    const uint32_t values[] = {static_cast<uint32_t>(r.x()), static_cast<uint32_t>(r.y()),
                               static_cast<uint32_t>(r.width()), static_cast<uint32_t>(r.height())};
    xcb_configure_window(c_, static_cast<xcb_window_t>(window->winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(c_);
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

namespace tp {

std::unique_ptr<ScreenSource> CreateX11Reader() {
    return XcbScreenSource::create();
}

bool X11ServerAnswers(const char* display) {
    xcb_connection_t* c = xcb_connect(display, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

} // namespace tp
