#pragma once
// Logical-to-device pixel maths for reading the screen. Window systems that
// scale their desktop report the cursor and the monitors in logical pixels,
// while a screen grab and the numbers a designer reads in an image editor are
// device pixels. Everything here is display-free so that the rules can be
// checked at any scale factor and monitor layout without a display.
#include <optional>
#include <vector>

namespace tp {

struct PixPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixPoint&, const PixPoint&) = default;
};

// A rectangle given by its top-left corner and size; right and bottom are
// excluded.
struct PixRect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(PixPoint p) const {
        return p.x >= left && p.x < right() && p.y >= top && p.y < bottom();
    }
    friend bool operator==(const PixRect&, const PixRect&) = default;
};

PixRect Intersect(const PixRect& a, const PixRect& b);
PixRect Unite(const PixRect& a, const PixRect& b);

// One monitor as the window system describes it: where it lies in logical
// pixels, its scale factor (device pixels per logical pixel) and where it
// lies in device pixels.
struct Monitor {
    PixRect logical;
    double scale = 1.0;
    PixRect device;
};

// Qt keeps a monitor's top-left corner at the same numbers in logical and in
// device pixels and scales only its size, so a monitor left of or above the
// primary one keeps its negative origin while its extent grows.
Monitor MonitorFromLogical(const PixRect& logical, double scale);
// A monitor's device width or height from its rounded logical one.
int DeviceLength(int logical, double scale);

// The device pixel that holds the logical point's top-left corner on that
// monitor. Rounding down keeps neighbouring logical points in order and
// never steps past the monitor's last device pixel.
PixPoint LogicalToDevice(PixPoint logical, const Monitor& m);
// The first logical point that LogicalToDevice maps onto the device pixel,
// or onto the next reachable one (a logical-only cursor API cannot reach
// every device pixel of a scaled monitor).
PixPoint DeviceToLogical(PixPoint device, const Monitor& m);

// Index of the monitor that holds a logical point, else of the one nearest to
// it (a cursor can sit on the outer edge while monitors are rearranged);
// nullopt without monitors.
std::optional<size_t> MonitorAtLogical(const std::vector<Monitor>& monitors, PixPoint logical);
std::optional<size_t> MonitorAtDevice(const std::vector<Monitor>& monitors, PixPoint device);

// The cursor's logical position as a device pixel of the virtual desktop.
std::optional<PixPoint> CursorToDevice(const std::vector<Monitor>& monitors, PixPoint logical);
// The same for a position with a fraction, as mouse events on a scaled
// desktop carry it: the fraction tells which of the device pixels under one
// logical pixel the pointer is on.
std::optional<PixPoint> GlobalToDevice(const std::vector<Monitor>& monitors, double x, double y);
// A device pixel as the logical position to move the cursor to.
std::optional<PixPoint> DeviceToCursor(const std::vector<Monitor>& monitors, PixPoint device);

// The bounding rectangle of every monitor, in device pixels.
PixRect VirtualDesktop(const std::vector<Monitor>& monitors);
// True when some monitor shows this device pixel (the virtual desktop's
// bounding box may have holes between monitors of different sizes).
bool OnSomeMonitor(const std::vector<Monitor>& monitors, PixPoint device);

// Part of a grab that one monitor supplies: the device rectangle it covers,
// and that rectangle relative to the monitor's own top-left corner in logical
// pixels, rounded outward (what a per-monitor logical grab API is asked for).
struct GrabPiece {
    size_t monitor = 0;
    PixRect device;
    PixRect logicalInMonitor;
};
std::vector<GrabPiece> SplitGrab(const std::vector<Monitor>& monitors, const PixRect& device);

} // namespace tp
