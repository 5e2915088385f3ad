#include "base/ScreenGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tp {

PixRect Intersect(const PixRect& a, const PixRect& b) {
    const int l = std::max(a.left, b.left), t = std::max(a.top, b.top);
    const int r = std::min(a.right(), b.right()), bt = std::min(a.bottom(), b.bottom());
    if (r <= l || bt <= t) return {};
    return {l, t, r - l, bt - t};
}

PixRect Unite(const PixRect& a, const PixRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    return {l, t, std::max(a.right(), b.right()) - l, std::max(a.bottom(), b.bottom()) - t};
}

int DeviceLength(int logical, double scale) {
    if (!(scale > 0)) scale = 1.0;
    // Qt reports a monitor's size in logical pixels rounded to whole ones, so
    // several device sizes give the same logical one (640 and 641 at 1.5 are
    // both 427). Monitors' sizes are even in practice: prefer an even
    // candidate, then the one nearest logical x scale.
    const double exact = logical * scale;
    const int lo = static_cast<int>(std::ceil((logical - 0.5) * scale - 1e-9));
    const int hi = static_cast<int>(std::ceil((logical + 0.5) * scale - 1e-9)) - 1;
    int best = static_cast<int>(std::lround(exact));
    double bestScore = 1e18;
    for (int n = std::max(lo, 0); n <= hi; ++n) {
        const double score = (n % 2 ? 1000.0 : 0.0) + std::abs(n - exact);
        if (score < bestScore) {
            bestScore = score;
            best = n;
        }
    }
    return best;
}

Monitor MonitorFromLogical(const PixRect& logical, double scale) {
    if (!(scale > 0)) scale = 1.0;
    return {logical,
            scale,
            {logical.left, logical.top, DeviceLength(logical.width, scale),
             DeviceLength(logical.height, scale)}};
}

namespace {
int clampInto(int v, int lo, int hiExcl) {
    return std::clamp(v, lo, std::max(lo, hiExcl - 1));
}

// Squared distance from a point to a rectangle (0 inside).
long long distance2(const PixRect& r, PixPoint p) {
    const long long dx = p.x < r.left ? r.left - p.x : (p.x >= r.right() ? p.x - r.right() + 1 : 0);
    const long long dy = p.y < r.top ? r.top - p.y : (p.y >= r.bottom() ? p.y - r.bottom() + 1 : 0);
    return dx * dx + dy * dy;
}

template <class Pick>
std::optional<size_t> nearest(const std::vector<Monitor>& monitors, PixPoint p, Pick rectOf) {
    std::optional<size_t> best;
    long long bestD = LLONG_MAX;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const long long d = distance2(rectOf(monitors[i]), p);
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}
} // namespace

PixPoint LogicalToDevice(PixPoint p, const Monitor& m) {
    // The epsilon keeps products such as 3 x 1.1 from falling just below an
    // integer they equal exactly.
    const int dx = static_cast<int>(std::floor((p.x - m.logical.left) * m.scale + 1e-9));
    const int dy = static_cast<int>(std::floor((p.y - m.logical.top) * m.scale + 1e-9));
    return {m.device.left + dx, m.device.top + dy};
}

PixPoint DeviceToLogical(PixPoint d, const Monitor& m) {
    // The first logical point whose device pixel is d or, where no logical
    // point lands exactly on d (scale above 1), the next one: the inverse of
    // the rounding down above.
    const int lx = static_cast<int>(std::ceil((d.x - m.device.left) / m.scale - 1e-9));
    const int ly = static_cast<int>(std::ceil((d.y - m.device.top) / m.scale - 1e-9));
    return {clampInto(m.logical.left + lx, m.logical.left, m.logical.right()),
            clampInto(m.logical.top + ly, m.logical.top, m.logical.bottom())};
}

std::optional<size_t> MonitorAtLogical(const std::vector<Monitor>& monitors, PixPoint p) {
    return nearest(monitors, p, [](const Monitor& m) { return m.logical; });
}

std::optional<size_t> MonitorAtDevice(const std::vector<Monitor>& monitors, PixPoint p) {
    return nearest(monitors, p, [](const Monitor& m) { return m.device; });
}

std::optional<PixPoint> CursorToDevice(const std::vector<Monitor>& monitors, PixPoint logical) {
    return GlobalToDevice(monitors, logical.x, logical.y);
}

std::optional<PixPoint> GlobalToDevice(const std::vector<Monitor>& monitors, double x, double y) {
    const PixPoint cell{static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
    const auto i = MonitorAtLogical(monitors, cell);
    if (!i) return std::nullopt;
    const Monitor& m = monitors[*i];
    // A point outside every monitor is pulled onto the nearest one, so the
    // pixel read at the cursor is always on a screen.
    const double lx = std::clamp(x, double(m.logical.left), double(m.logical.right()) - 1e-6);
    const double ly = std::clamp(y, double(m.logical.top), double(m.logical.bottom()) - 1e-6);
    const int dx =
        m.device.left + static_cast<int>(std::floor((lx - m.logical.left) * m.scale + 1e-9));
    const int dy =
        m.device.top + static_cast<int>(std::floor((ly - m.logical.top) * m.scale + 1e-9));
    return PixPoint{clampInto(dx, m.device.left, m.device.right()),
                    clampInto(dy, m.device.top, m.device.bottom())};
}

std::optional<PixPoint> DeviceToCursor(const std::vector<Monitor>& monitors, PixPoint device) {
    const auto i = MonitorAtDevice(monitors, device);
    if (!i) return std::nullopt;
    return DeviceToLogical(device, monitors[*i]);
}

PixRect VirtualDesktop(const std::vector<Monitor>& monitors) {
    PixRect all;
    for (const Monitor& m : monitors)
        all = Unite(all, m.device);
    return all;
}

bool OnSomeMonitor(const std::vector<Monitor>& monitors, PixPoint device) {
    return std::any_of(monitors.begin(), monitors.end(),
                       [&](const Monitor& m) { return m.device.contains(device); });
}

std::vector<GrabPiece> SplitGrab(const std::vector<Monitor>& monitors, const PixRect& device) {
    std::vector<GrabPiece> pieces;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        const PixRect part = Intersect(m.device, device);
        if (part.empty()) continue;
        const double l = (part.left - m.device.left) / m.scale;
        const double t = (part.top - m.device.top) / m.scale;
        const double r = (part.right() - m.device.left) / m.scale;
        const double b = (part.bottom() - m.device.top) / m.scale;
        const int li = static_cast<int>(std::floor(l)), ti = static_cast<int>(std::floor(t));
        const int ri = static_cast<int>(std::ceil(r)), bi = static_cast<int>(std::ceil(b));
        pieces.push_back({i, part, {li, ti, ri - li, bi - ti}});
    }
    return pieces;
}

} // namespace tp
