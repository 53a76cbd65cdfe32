// The plane-geometry helpers of the scene builder.
#include "app/hkgeom.h"

#include "engine/vector_types.h"

#include <cmath>

namespace hk {
namespace {

constexpr double cShortSquared = 1.0e-6;
constexpr double cAxisTolerance = 1.0e-6;

double Degrees(double radians) {
    return radians * 180.0 / cPI;
}

double SquaredDistance(const TPoint2D& a, const TPoint2D& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return dx * dx + dy * dy;
}

// The line through a and b as unit normal n and constant w, with n.p + w = 0 on the line.
struct TLine2D {
    TPoint2D n;
    double w = 0;
};

TLine2D LineThrough(const TPoint2D& a, const TPoint2D& b) {
    const double length = std::sqrt(SquaredDistance(a, b));
    TLine2D line;
    line.n = {-(b.y - a.y) / length, (b.x - a.x) / length};
    line.w = (a.x * b.y - b.x * a.y) / length;
    return line;
}

} // namespace

double VectorAngle(double dx, double dy) {
    if (dx > 0)
        return std::atan(dy / dx);
    if (dx < 0)
        return std::atan(dy / dx) + cPI;
    if (dy > 0)
        return cPI / 2;
    if (dy < 0)
        return 4.71238898038469;
    return 0;
}

TGeomAngle LineAngle(const TPoint2D& from, const TPoint2D& to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    if (dx * dx + dy * dy < cShortSquared)
        return {0, cGeomShortSegment};
    if (std::fabs(dy) < cAxisTolerance)
        return {dx > 0 ? 0.0 : 180.0, cGeomOk};
    if (std::fabs(dx) < cAxisTolerance)
        return {dy > 0 ? 90.0 : 270.0, cGeomOk};
    const double m = Degrees(std::atan(dy / dx));
    return {dx >= 0 ? m : m + 180, cGeomOk};
}

TGeomAngle CornerAngle(const TPoint2D& p0, const TPoint2D& p1, const TPoint2D& p2) {
    const TGeomAngle a1 = LineAngle(p1, p0);
    if (a1.error != cGeomOk)
        return a1;
    const TGeomAngle a2 = LineAngle(p1, p2);
    if (a2.error != cGeomOk)
        return a2;
    double theta = a2.degrees - a1.degrees;
    if (a2.degrees < a1.degrees)
        theta += 360;
    if (theta > 180)
        theta = 360 - theta;
    return {theta, cGeomOk};
}

TFilletArc FilletArc(double r, const TPoint2D& p0, const TPoint2D& p1, const TPoint2D& p2) {
    TFilletArc arc;
    if (SquaredDistance(p0, p1) < cShortSquared || SquaredDistance(p1, p2) < cShortSquared) {
        arc.error = cGeomShortSegment;
        return arc;
    }
    const TLine2D l1 = LineThrough(p0, p1);
    const TLine2D l2 = LineThrough(p1, p2);
    const double side = l1.n.x * p2.x + l1.n.y * p2.y + l1.w;
    const double det = l1.n.y * l2.n.x - l1.n.x * l2.n.y;
    const TGeomAngle corner = CornerAngle(p0, p1, p2);
    // Parallel segments have no centre; a path turning straight back has no finite tangent.
    if (std::fabs(det) < 1.0e-6 || corner.error != cGeomOk || corner.degrees <= 0) {
        arc.error = corner.error != cGeomOk ? corner.error : cGeomNoCorner;
        return arc;
    }
    const double k1 = side > 0 ? l1.w - r : l1.w + r;
    const double k2 = side > 0 ? l2.w - r : l2.w + r;
    arc.centre = {(l2.n.y * k1 - l1.n.y * k2) / det, (l1.n.x * k2 - l2.n.x * k1) / det};
    arc.tangent = r / std::tan(corner.degrees / 2 * cPI / 180);

    const double len1 = std::sqrt(SquaredDistance(p0, p1));
    const double len2 = std::sqrt(SquaredDistance(p1, p2));
    const TPoint2D t1{p1.x + (p0.x - p1.x) * arc.tangent / len1,
                      p1.y + (p0.y - p1.y) * arc.tangent / len1};
    const TPoint2D t2{p1.x + (p2.x - p1.x) * arc.tangent / len2,
                      p1.y + (p2.y - p1.y) * arc.tangent / len2};
    const double alpha1 = LineAngle(arc.centre, t1).degrees;
    const double alpha2 = LineAngle(arc.centre, t2).degrees;
    arc.leftTurn = side > 0;
    arc.startAngle = side > 0 ? alpha1 : alpha2;
    arc.endAngle = side > 0 ? alpha2 : alpha1;
    return arc;
}

TPoint2D RotateOffset(const TPoint2D& base, const TPoint2D& offset, double angle) {
    const double phi = angle * 0.017453292;
    return {base.x + offset.x * std::cos(phi) - offset.y * std::sin(phi),
            base.y + offset.x * std::sin(phi) + offset.y * std::cos(phi)};
}

} // namespace hk
