#pragma once
// The display-free half of the distance measuring window: how a distance is
// counted, which pixels a rubber-band line covers and how it is inverted in
// and out of a plain 32-bit pixel buffer, and where a mouse position falls on
// the frozen picture. Points are device pixels.
#include "base/ScreenGeometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tp {

// The distance in pixels between two points, counting both end pixels: a
// designer measuring 10..20 on a ruler expects 11. A point measured against
// itself is 0. Diagonals are the rounded length of the inclusive extents.
int RulerDistance(PixPoint start, PixPoint end);

// A view of 32-bit pixels, `stride` pixels from one row to the next. The
// memory belongs to the caller (a QImage's bits, a test's vector).
struct PixelBuffer {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Calls f(x, y) for every pixel of the 1-pixel line from `from` towards
// `to`, the end pixel itself left out (so a line to its own start is empty).
// Each pixel comes once, which is what makes drawing by inversion undoable.
template <class F> void ForEachLinePixel(PixPoint from, PixPoint to, F&& f) {
    const long long dx = to.x > from.x ? to.x - static_cast<long long>(from.x)
                                       : static_cast<long long>(from.x) - to.x;
    const long long dy = to.y > from.y ? to.y - static_cast<long long>(from.y)
                                       : static_cast<long long>(from.y) - to.y;
    const int sx = to.x >= from.x ? 1 : -1;
    const int sy = to.y >= from.y ? 1 : -1;
    int x = from.x;
    int y = from.y;
    if (dx >= dy) {
        long long err = dx / 2;
        for (long long i = 0; i < dx; ++i) {
            f(x, y);
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        }
    } else {
        long long err = dy / 2;
        for (long long i = 0; i < dy; ++i) {
            f(x, y);
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        }
    }
}

// Inverts (each colour channel c becomes 255 - c, the top byte kept) every
// pixel of the line that lies inside the buffer. Inverting the same line
// twice restores the buffer exactly.
void InvertLine(PixelBuffer buffer, PixPoint from, PixPoint to);

// The rectangle that holds every pixel InvertLine may touch.
PixRect LineBounds(PixPoint from, PixPoint to);

// The device pixel of a width x height picture that lies under a mouse
// position given in the window's logical pixels. Qt reports positions on a
// scaled screen as fractions (device pixel 101 at scale 2 is 50.5), so the
// product is floored rather than the position rounded first, which would make
// every odd device pixel unreachable. Positions off the picture are clamped.
//
// Some platforms (X11 among them) round event positions to whole logical
// pixels, which leaves device pixels between them unreachable. When the
// pointer is also known in device pixels of the picture (`pointer`, read from
// the screen) and lies on or next to the logical pixel of the position, it is
// taken instead; a pointer that has since moved further away is ignored.
PixPoint WindowToPicture(double x, double y, double scale, int width, int height,
                         std::optional<PixPoint> pointer = std::nullopt);

// Clamps a point into a w x h picture; a drag that leaves the frozen screen
// keeps measuring to its edge instead of into pixels nobody can see.
PixPoint ClampToPicture(PixPoint p, int width, int height);

} // namespace tp
