#pragma once
// The display-free half of the distance measuring window: how a distance is
// counted, which pixels a rubber-band line covers and how it is inverted in
// and out of a plain 32-bit pixel buffer, and where the ruler's magnifier
// takes its source and draws its crosshair.
#include <cstddef>
#include <cstdint>

namespace tp {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(PixelPoint, PixelPoint) = default;
};

// Left, top, right, bottom; right and bottom excluded.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(PixelRect, PixelRect) = default;
};

// The distance in pixels between two points, counting both end pixels: a
// designer measuring 10..20 on a ruler expects 11. A point measured against
// itself is 0. Diagonals are the rounded length of the inclusive extents.
int RulerDistance(PixelPoint start, PixelPoint end);

// A view of 32-bit pixels, `stride` pixels from one row to the next. The
// memory belongs to the caller (a QImage's bits, a test's vector).
struct PixelBuffer {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

struct ConstPixelBuffer {
    const uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
};

// Calls f(x, y) for every pixel of the 1-pixel line from `from` towards
// `to`, the end pixel itself left out (so a line to its own start is empty).
// Each pixel comes once, which is what makes drawing by inversion undoable.
template <class F> void ForEachLinePixel(PixelPoint from, PixelPoint to, F&& f) {
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
void InvertLine(PixelBuffer buffer, PixelPoint from, PixelPoint to);

// The rectangle that holds every pixel InvertLine may touch.
PixelRect LineBounds(PixelPoint from, PixelPoint to);

// The magnifier shared with the main window: 32 x 24 source pixels with the
// cursor 16 from the left and 12 from the top, enlarged four times into
// 128 x 96, and a crosshair of two 3-pixel bars over the cursor's block.
struct RulerMagnifier {
    static constexpr int SrcWidth = 32;
    static constexpr int SrcHeight = 24;
    static constexpr int HalfWidth = 16;
    static constexpr int HalfHeight = 12;
    static constexpr int Width = 128;
    static constexpr int Height = 96;
    static constexpr int CenterX = Width / 2;
    static constexpr int CenterY = Height / 2;

    static PixelRect Source(PixelPoint cursor) {
        return {cursor.x - HalfWidth, cursor.y - HalfHeight, cursor.x - HalfWidth + SrcWidth,
                cursor.y - HalfHeight + SrcHeight};
    }
    static constexpr PixelRect VerticalBar() {
        return {CenterX, CenterY - 8, CenterX + 3, CenterY + 11};
    }
    static constexpr PixelRect HorizontalBar() {
        return {CenterX - 8, CenterY, CenterX + 11, CenterY + 3};
    }
};

// Fills `dst` (at least RulerMagnifier::Width x Height) with the source
// rectangle around `cursor` in `src`, every pixel as a 4 x 4 block, then the
// two crosshair bars in `barColor`. Source pixels outside `src` come out as
// `outside`.
void DrawRulerMagnifier(ConstPixelBuffer src, PixelPoint cursor, PixelBuffer dst, uint32_t barColor,
                        uint32_t outside);

// Clamps a point into a w x h picture; a drag that leaves the frozen screen
// keeps measuring to its edge instead of into pixels nobody can see.
PixelPoint ClampToPicture(PixelPoint p, int width, int height);

} // namespace tp
