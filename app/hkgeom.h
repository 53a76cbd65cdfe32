// HKGEOM: the plane-geometry helpers of the scene builder (angles of segments and corners, the
// fillet arc of a rounded polyline corner, offsets turned about a point) and VectorAngle.
// Angles handed in and out are in degrees unless a function says radians.
#pragma once

namespace hk {

struct TPoint2D {
    double x = 0;
    double y = 0;
};

// Error codes of the helpers.
inline constexpr int cGeomOk = 0;
// A segment shorter than 1.0e-3 (squared length below 1.0e-6).
inline constexpr int cGeomShortSegment = 8;
// The two segments of a corner are parallel, or turn straight back: no fillet centre exists.
inline constexpr int cGeomNoCorner = 9;

// Radians in (-pi/2, 3pi/2]: atan(dy/dx) for dx > 0, that plus pi for dx < 0; for dx = 0,
// pi/2 upwards, 3pi/2 downwards and 0 for the null vector.
double VectorAngle(double dx, double dy);

struct TGeomAngle {
    double degrees = 0;
    int error = cGeomOk;
};

// Direction of the segment from -> to in degrees, in (-90, 270]; axis-parallel segments (within
// 1.0e-6) give exactly 0, 90, 180 or 270. A short segment gives angle 0 and cGeomShortSegment.
TGeomAngle LineAngle(const TPoint2D& from, const TPoint2D& to);

// The angle at p1 between p1 -> p0 and p1 -> p2, 0 to 180 degrees; a short segment stops with
// its error.
TGeomAngle CornerAngle(const TPoint2D& p0, const TPoint2D& p1, const TPoint2D& p2);

// The arc of radius r that rounds the corner p1 of the path p0 -> p1 -> p2.
struct TFilletArc {
    double tangent = 0;    // distance from p1 to either tangent point
    TPoint2D centre;       // set when error is cGeomOk
    double startAngle = 0; // degrees, as LineAngle from the centre to a tangent point
    double endAngle = 0;
    // True when p2 lies left of p0 -> p1, so that the path runs from start to end; otherwise
    // it runs from end back to start.
    bool leftTurn = false;
    int error = cGeomOk;
};

// Start and end run counter-clockwise from the tangent point on p0 -> p1 when p2 lies left of
// that line, else from the one on p1 -> p2. Errors: cGeomShortSegment when either segment is
// short (nothing but the angles is set), cGeomNoCorner when the segments are parallel or turn
// straight back (the centre would be undefined or the tangent infinite).
TFilletArc FilletArc(double r, const TPoint2D& p0, const TPoint2D& p1, const TPoint2D& p2);

// base + offset turned by angle degrees counter-clockwise. Degrees become radians with the
// factor 0.017453292, which the drawings' caption placement has always used.
TPoint2D RotateOffset(const TPoint2D& base, const TPoint2D& offset, double angle);

} // namespace hk
