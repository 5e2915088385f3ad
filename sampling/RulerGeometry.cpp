#include "sampling/RulerGeometry.h"

#include "base/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tp {

namespace {
long long InclusiveExtent(int a, int b) {
    const long long d = std::llabs(static_cast<long long>(b) - a);
    return d > 0 ? d + 1 : 0;
}
} // namespace

int RulerDistance(PixPoint start, PixPoint end) {
    const long long dx = InclusiveExtent(start.x, end.x);
    const long long dy = InclusiveExtent(start.y, end.y);
    if (dx == 0 || dy == 0) return static_cast<int>(dx + dy);
    // 64-bit: two extents of a wide virtual desktop already overflow 32 bits
    // once squared.
    const double length = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    return static_cast<int>(Round(length));
}

void InvertLine(PixelBuffer buffer, PixPoint from, PixPoint to) {
    if (!buffer.bits || buffer.width <= 0 || buffer.height <= 0) return;
    ForEachLinePixel(from, to, [&](int x, int y) {
        if (x < 0 || y < 0 || x >= buffer.width || y >= buffer.height) return;
        buffer.bits[static_cast<std::ptrdiff_t>(y) * buffer.stride + x] ^= 0x00FFFFFFu;
    });
}

PixRect LineBounds(PixPoint from, PixPoint to) {
    const int left = std::min(from.x, to.x), top = std::min(from.y, to.y);
    return {left, top, std::max(from.x, to.x) - left + 1, std::max(from.y, to.y) - top + 1};
}

PixPoint WindowToPicture(double x, double y, double scale, int width, int height,
                         std::optional<PixPoint> pointer) {
    if (!(scale > 0)) scale = 1.0;
    // The epsilon keeps products such as 3 x 1.1 from falling just below the
    // integer they equal; the limits keep far-off positions inside int.
    auto toDevice = [scale](double v) {
        const double d = std::floor(v * scale + 1e-9);
        return static_cast<int>(std::clamp(d, -1e9, 1e9));
    };
    PixPoint p{toDevice(x), toDevice(y)};
    if (pointer && scale != 1.0) {
        // The device pixels a logical pixel touches, widened by half a
        // logical pixel for platforms that round positions rather than cut.
        auto near = [&](double v, int d) {
            const double l = std::floor(v);
            return d >= toDevice(l - 0.5) && d < std::ceil((l + 1) * scale - 1e-9);
        };
        if (near(x, pointer->x) && near(y, pointer->y)) p = *pointer;
    }
    return ClampToPicture(p, width, height);
}

PixPoint ClampToPicture(PixPoint p, int width, int height) {
    if (width <= 0 || height <= 0) return {0, 0};
    return {std::clamp(p.x, 0, width - 1), std::clamp(p.y, 0, height - 1)};
}

} // namespace tp
