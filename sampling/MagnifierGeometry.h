#pragma once
// The magnifier's geometry: a 32 x 24 block of screen pixels around the
// cursor, each drawn as a 4 x 4 square into a 128 x 96 image, under a
// crosshair of two 3-pixel bars. Shared by the eyedropper and the distance
// window, which feed it different images.
#include "base/Rgb.h"
#include "base/ScreenGeometry.h"

namespace tp {

inline constexpr int ZoomSrcWidth = 32;
inline constexpr int ZoomSrcHeight = 24;
inline constexpr int ZoomHalfWidth = 16;
inline constexpr int ZoomHalfHeight = 12;
inline constexpr int ZoomWidth = 128;
inline constexpr int ZoomHeight = 96;
inline constexpr int ZoomCenterX = 64;
inline constexpr int ZoomCenterY = 48;
inline constexpr int ZoomFactor = ZoomWidth / ZoomSrcWidth;
// The magnifier's colour before the first sample.
inline constexpr TRGB ZoomBackground{246, 247, 251};

// The source rectangle around a cursor at (x, y), in device pixels.
constexpr PixRect ZoomSource(PixPoint cursor) {
    return {cursor.x - ZoomHalfWidth, cursor.y - ZoomHalfHeight, ZoomSrcWidth, ZoomSrcHeight};
}

// The crosshair bars, in the magnified image. Each covers the cursor's 4 x 4
// block but its bottom-right pixel, and reaches 8 pixels beyond the block's
// left/top edge and 7 beyond its right/bottom edge.
constexpr PixRect CrosshairVertical() {
    return {ZoomCenterX, ZoomCenterY - 8, 3, 19};
}
constexpr PixRect CrosshairHorizontal() {
    return {ZoomCenterX - 8, ZoomCenterY, 19, 3};
}

} // namespace tp
