#include "colour/WheelGeometry.h"

#include "base/Rounding.h"
#include "colour/ColorModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tp::wheel {

namespace {
constexpr double Eps = 1e-8;
constexpr double DegPerRad = 180.0 / std::numbers::pi;

// Where the ring's colours are computed from, and where presses are judged
// from: the picture's centre, taken once rounded up and once down.
constexpr PointF DrawCentre{98, 98};
constexpr PointF PressCentre{97, 97};
} // namespace

double NormalizeAngle(double a) {
    // Larger angles than a few turns never occur here; fmod keeps a wild
    // input from looping for long.
    if (a >= 360 * 4 || a < -360 * 4) a = std::fmod(a, 360.0);
    while (a < 0)
        a += 360;
    while (a >= 360)
        a -= 360;
    return a;
}

double PointDistance(PointF p, PointF q) {
    return std::hypot(q.x - p.x, q.y - p.y);
}

double PointAngle(PointF c, PointF p) {
    if (PointDistance(c, p) < Eps) return 0;
    double dx = p.x - c.x, dy = p.y - c.y;
    if (std::fabs(dx) < Eps) dx = 0;
    if (std::fabs(dy) < Eps) dy = 0;
    double rad = std::atan2(dy, dx);
    if (std::fabs(rad) < Eps) rad = 0;
    return NormalizeAngle(rad * DegPerRad);
}

double AngleBetween(PointF c, PointF a, PointF b) {
    return NormalizeAngle(PointAngle(c, b) - PointAngle(c, a));
}

PointF RotatePoint(PointF c, PointF p, double degrees) {
    const double r = PointDistance(c, p);
    const double phi = NormalizeAngle(PointAngle(c, p) + degrees) / DegPerRad;
    return {c.x + r * std::cos(phi), c.y + r * std::sin(phi)};
}

double RingAngle(PointF c, double x, double y) {
    return AngleBetween(c, {c.x, 0}, {x, y});
}

bool InsideEllipse(int left, int top, int right, int bottom, int x, int y) {
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    if (rx <= 0 || ry <= 0) return false;
    const double dx = (x + 0.5 - (left + rx)) / rx;
    const double dy = (y + 0.5 - (top + ry)) / ry;
    return dx * dx + dy * dy < 1.0;
}

std::array<TRGB, 360> BuildRingHues() {
    std::array<TRGB, 360> hues;
    TPSPColor c;
    for (int i = 0; i < 360; ++i) {
        c.SetHSL(i / 359.0, 1.0, 0.47);
        hues[static_cast<size_t>(i)] = c.Color();
    }
    return hues;
}

int RingHueIndex(int x, int y) {
    if (!InsideEllipse(0, 0, Size, Size, x, y) || InsideEllipse(20, 20, 175, 175, x, y)) return -1;
    long long v = Round(RingAngle(DrawCentre, x, y));
    if (v >= 360) v = 0;
    return 359 - static_cast<int>(v);
}

WheelPart PartAt(int x, int y) {
    if (x >= SquareLow && x < SquareHigh && y >= SquareLow && y < SquareHigh) return wpSquare;
    if (InsideEllipse(0, 0, Size, Size, x, y) && !InsideEllipse(20, 20, 174, 174, x, y))
        return wpRing;
    return wpNone;
}

uint8_t RingHueByte(int x, int y) {
    long long l = Round(RingAngle(PressCentre, x, y));
    if (l >= 360) l = 0;
    return static_cast<uint8_t>(Round((359.0 - static_cast<double>(l)) / 359.0 * 255.0));
}

SquareBytes SquareBytesAt(int x, int y) {
    x = std::clamp(x, SquareLow, SquareHigh);
    y = std::clamp(y, SquareLow, SquareHigh);
    return {static_cast<uint8_t>(Round(double(x - SquareLow) / SquareSpan * 255.0)),
            static_cast<uint8_t>(Round(double(y - SquareLow) / SquareSpan * 255.0))};
}

Point SquareMarker(double saturation, double lightness) {
    return {static_cast<int>(Round(SquareLow + SquareSpan * saturation)),
            static_cast<int>(Round(SquareLow + SquareSpan * lightness))};
}

Point HueMarker(double hue) {
    const double h = static_cast<double>(Round(hue * 360));
    const PointF p = RotatePoint(PressCentre, {97, 10}, -h);
    return {static_cast<int>(Round(p.x)), static_cast<int>(Round(p.y))};
}

const std::vector<Point>& MarkerOutline() {
    static const std::vector<Point> outline = [] {
        // Pixels x - 5 .. x + 4 of the box; the circle's centre is the box's.
        auto inside = [](int i, int j) {
            const double dx = i + 0.5, dy = j + 0.5;
            return dx * dx + dy * dy < MarkerRadius * MarkerRadius;
        };
        std::vector<Point> pts;
        for (int j = -MarkerRadius; j < MarkerRadius; ++j)
            for (int i = -MarkerRadius; i < MarkerRadius; ++i)
                if (inside(i, j) && (!inside(i - 1, j) || !inside(i + 1, j) || !inside(i, j - 1) ||
                                     !inside(i, j + 1)))
                    pts.push_back({i, j});
        return pts;
    }();
    return outline;
}

} // namespace tp::wheel
