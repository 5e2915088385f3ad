#pragma once
// Geometry of the colour wheel: a 195 x 195 picture with a hue ring around
// a saturation/lightness square. Angles are in degrees; picture pixels have
// x to the right and y downward, so angles grow clockwise on the screen.
#include "colour/ColorTypes.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tp::wheel {

constexpr int Size = 195;
// The square's box is (44, 44)-(150, 150); its pixels run 44..150 inclusive.
constexpr int SquareLow = 44;
constexpr int SquareHigh = 150;
constexpr int SquareSpan = SquareHigh - SquareLow; // 106
constexpr int MarkerRadius = 5;

enum WheelPart : uint8_t { wpNone = 0, wpRing = 1, wpSquare = 2 };

struct PointF {
    double x = 0, y = 0;
};
struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Brought into [0, 360).
double NormalizeAngle(double a);
double PointDistance(PointF p, PointF q);
// Direction of p seen from c, in [0, 360); 0 when the two coincide.
double PointAngle(PointF c, PointF p);
double AngleBetween(PointF c, PointF a, PointF b);
PointF RotatePoint(PointF c, PointF p, double degrees);
// Angle of (x, y) about c measured clockwise from 12 o'clock, in [0, 360).
double RingAngle(PointF c, double x, double y);

// Whether pixel (x, y) lies inside the ellipse inscribed in the box
// (left, top)-(right, bottom), judged at the pixel's centre.
bool InsideEllipse(int left, int top, int right, int bottom, int x, int y);

// 360 hues at full saturation and lightness 0.47; entries 0 and 359 are
// both the ring's red (240, 0, 0).
std::array<TRGB, 360> BuildRingHues();

// The index into the ring hues for a drawn ring pixel, or -1 when (x, y) is
// not on the ring.
int RingHueIndex(int x, int y);

// What a press at (x, y) begins on.
WheelPart PartAt(int x, int y);

// The hue byte that a ring press or drag at (x, y) chooses (the pointer's
// direction counts, wherever it is).
uint8_t RingHueByte(int x, int y);

// The saturation and lightness bytes for a square press or drag at (x, y),
// the point held to the square first.
struct SquareBytes {
    uint8_t saturation = 0, lightness = 0;
};
SquareBytes SquareBytesAt(int x, int y);

// Marker centres for a wheel colour.
Point SquareMarker(double saturation, double lightness);
Point HueMarker(double hue);

// The pixels of a marker's outline, relative to its centre: the circle
// inscribed in (x - 5, y - 5)-(x + 5, y + 5), each pixel listed once so that
// an XOR drawing of it twice restores the picture.
const std::vector<Point>& MarkerOutline();

} // namespace tp::wheel
