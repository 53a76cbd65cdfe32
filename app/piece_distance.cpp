// Closed forms and the FCL fallback for the signed distance of two convex pieces.
#include "app/piece_distance.h"

#include "app/clash_fcl.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace hk {
namespace {

constexpr double cTiny = 1.0e-12;

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// The direction from a to b, or a direction across both axes when they meet.
TPoint3D Across(const TPoint3D& a, const TPoint3D& b, const TPoint3D& axisP,
                const TPoint3D& axisQ) {
    const TPoint3D d = b - a;
    if (Norm(d) > cTiny)
        return Normalized(d);
    const TPoint3D c = Cross(axisP, axisQ);
    if (Norm(c) > cTiny)
        return Normalized(c);
    if (Norm(axisP) > cTiny)
        return AnyPerpendicular(axisP);
    if (Norm(axisQ) > cTiny)
        return AnyPerpendicular(axisQ);
    return {1, 0, 0};
}

// Ball-swept segments of radius rp and rq, from the closest points of their axes.
TClashDistance Swept(const TClashPiece& p, const TClashPiece& q, const TSegmentClosest& c) {
    const TPoint3D n = Across(c.onP, c.onQ, p.b - p.a, q.b - q.a);
    return {Distance(c.onP, c.onQ) - p.radius - q.radius, c.onP + n * p.radius,
            c.onQ - n * q.radius};
}

TClashDistance Swapped(const TClashDistance& d) {
    return {d.distance, d.onSecond, d.onFirst};
}

// A flat-capped cylinder against a ball of radius `radius` at x: the ball's centre against the
// cylinder, less the radius (exact for a convex solid, inside or out).
TClashDistance CylinderBall(const TClashPiece& cylinder, const TPoint3D& x, double radius) {
    const TPoint3D axis = cylinder.b - cylinder.a;
    const double length = Norm(axis);
    const TPoint3D u = length > cTiny ? axis * (1 / length) : TPoint3D{0, 0, 1};
    const double h = Dot(x - cylinder.a, u);
    const TPoint3D w = (x - cylinder.a) - u * h;
    const double rho = Norm(w);
    const TPoint3D e = rho > cTiny ? w * (1 / rho) : AnyPerpendicular(u);
    const double r = cylinder.radius;
    TPoint3D surface;
    double signedDistance;
    if (h >= 0 && h <= length && rho <= r) {
        const double side = r - rho, bottom = h, top = length - h;
        if (side <= bottom && side <= top)
            surface = cylinder.a + u * h + e * r;
        else if (bottom <= top)
            surface = cylinder.a + e * rho;
        else
            surface = cylinder.b + e * rho;
        signedDistance = -std::min({side, bottom, top});
    } else {
        surface = cylinder.a + u * std::clamp(h, 0.0, length) + e * std::min(rho, r);
        signedDistance = Distance(x, surface);
    }
    // From the cylinder's surface point towards the ball's centre when outside, away from it
    // when inside: the ball's own point lies the radius back along it.
    TPoint3D n = signedDistance >= 0 ? x - surface : surface - x;
    n = Norm(n) > cTiny ? Normalized(n) : e;
    return {signedDistance - radius, surface, x - n * radius};
}

// Two flat-capped cylinders with parallel axes: disks across, intervals along the axis.
TClashDistance ParallelCylinders(const TClashPiece& p, const TClashPiece& q) {
    const TPoint3D axis = p.b - p.a;
    const double lp = Norm(axis);
    const TPoint3D u = axis * (1 / lp);
    const double h0 = Dot(q.a - p.a, u), h1 = Dot(q.b - p.a, u);
    const double low = std::min(h0, h1), high = std::max(h0, h1);
    const TPoint3D w = (q.a - p.a) - u * h0;
    const double e = Norm(w);
    const TPoint3D dir = e > cTiny ? w * (1 / e) : AnyPerpendicular(u);
    const double radialGap = e - p.radius - q.radius;
    const double axialGap = std::max(low - lp, -high);
    // Heights of the two points along the axis: facing ends when the escape (or the gap) is
    // along the axis, the middle of the shared stretch when it is across.
    const bool alongAxis = radialGap <= 0 && (axialGap > 0 || -axialGap < -radialGap);
    double hp, hq;
    if (alongAxis) {
        const bool above = low - lp >= -high;
        hp = above ? lp : 0;
        hq = above ? low : high;
    } else {
        hp = hq = (std::max(0.0, low) + std::min(lp, high)) / 2;
        hp = std::clamp(hp, 0.0, lp);
        hq = std::clamp(hq, low, high);
    }
    // Across the axis: on the facing walls when apart across it, else at a place both disks
    // cover.
    double xp, xq;
    if (radialGap > 0 || !alongAxis) {
        xp = p.radius;
        xq = e - q.radius;
    } else {
        xp = xq = (std::max(-p.radius, e - q.radius) + std::min(p.radius, e + q.radius)) / 2;
    }
    double distance;
    if (radialGap > 0 || axialGap > 0)
        distance = std::hypot(std::max(radialGap, 0.0), std::max(axialGap, 0.0));
    else
        distance = std::max(radialGap, axialGap);
    return {distance, p.a + u * hp + dir * xp, p.a + u * hq + dir * xq};
}

bool IsBall(const TClashPiece& p) {
    return p.rounded && Distance(p.a, p.b) <= cTiny;
}

// Room along a flat cylinder's axis on either side of parameter s, in data-file units.
double AxialRoom(const TClashPiece& p, double s) {
    const double length = Distance(p.a, p.b);
    return std::min(s, 1 - s) * length;
}

// The point of a piece's surface nearest to x, for x outside it.
TPoint3D NearestOn(const TClashPiece& piece, const TPoint3D& x) {
    if (!piece.rounded)
        return CylinderBall(piece, x, 0).onFirst;
    const TSegmentClosest c = ClosestOnSegments(piece.a, piece.b, x, x);
    return c.onP + Normalized(x - c.onP) * piece.radius;
}

// The extent of a piece along the unit vector v (its support function) and the point that
// reaches it.
struct TSupport {
    const TClashPiece& piece;
    TPoint3D centre, axis; // axis: unit, or null for a ball
    double half;

    explicit TSupport(const TClashPiece& p)
        : piece(p), centre((p.a + p.b) * 0.5), axis(Normalized(p.b - p.a)),
          half(Distance(p.a, p.b) / 2) {}

    double Along(const TPoint3D& v) const {
        const double c = Dot(axis, v);
        const double across = piece.rounded ? 1 : std::sqrt(std::max(0.0, 1 - c * c));
        return Dot(centre, v) + half * std::fabs(c) + piece.radius * across;
    }
    TPoint3D Point(const TPoint3D& v) const {
        const double c = Dot(axis, v);
        const TPoint3D end = centre + axis * (c >= 0 ? half : -half);
        const TPoint3D out = piece.rounded ? v : Normalized(v - axis * c);
        return end + out * piece.radius;
    }
};

// Two convex pieces by their support functions: along a unit vector v the second must move
// Along_p(v) + Along_q(-v) to clear the first, and the least of that over all directions is
// minus their signed distance (the depth of an overlap, or minus the gap along the separating
// direction). The least is sought from the directions where it usually lies (the axes, the
// line between the nearest axis points, across both axes), each refined by a shrinking search
// over the sphere, which also finds it in the creases that flat caps make.
TClashDistance SupportSearch(const TClashPiece& p, const TClashPiece& q) {
    const TSupport sp(p), sq(q);
    auto depth = [&](const TPoint3D& v) { return sp.Along(v) + sq.Along(v * -1); };
    const TSegmentClosest c = ClosestOnSegments(p.a, p.b, q.a, q.b);
    std::vector<TPoint3D> starts = {sp.axis,
                                    sp.axis * -1,
                                    sq.axis,
                                    sq.axis * -1,
                                    Across(c.onP, c.onQ, p.b - p.a, q.b - q.a),
                                    Normalized(Cross(sp.axis, sq.axis)),
                                    Normalized(sq.centre - sp.centre)};
    // The two most promising starts are refined; the others rarely lead elsewhere.
    std::vector<std::pair<double, TPoint3D>> ranked;
    for (const TPoint3D& v : starts)
        if (Norm(v) > 0.5)
            ranked.emplace_back(depth(v), v);
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
    static const std::array<std::pair<double, double>, 8> turns = [] {
        std::array<std::pair<double, double>, 8> t;
        for (int k = 0; k < 8; ++k)
            t[std::size_t(k)] = {std::cos(k * 0.7853981633974483),
                                 std::sin(k * 0.7853981633974483)};
        return t;
    }();
    TPoint3D best = ranked.front().second;
    double bestDepth = ranked.front().first;
    for (std::size_t start = 0; start < std::min<std::size_t>(2, ranked.size()); ++start) {
        auto [value, v] = ranked[start];
        for (double step = 0.2; step > 1.0e-7;) {
            const TPoint3D e1 = AnyPerpendicular(v), e2 = Cross(v, e1);
            TPoint3D next = v;
            double nextValue = value;
            for (const auto& [cs, sn] : turns) {
                const TPoint3D w = Normalized(v + (e1 * cs + e2 * sn) * step);
                if (const double d = depth(w); d < nextValue)
                    nextValue = d, next = w;
            }
            if (nextValue < value) {
                v = next, value = nextValue;
                step *= 2;
            } else {
                step /= 4;
            }
        }
        if (value < bestDepth)
            bestDepth = value, best = v;
    }
    TPoint3D onP = sp.Point(best), onQ = sq.Point(best * -1);
    // Apart, the support points may be anywhere on a flat cap or along a side; projecting each
    // on the other piece in turn walks them to the closest pair.
    if (bestDepth < 0)
        for (int k = 0; k < 48; ++k) {
            onQ = NearestOn(q, onP);
            onP = NearestOn(p, onQ);
        }
    return {-bestDepth, onP, onQ};
}

} // namespace

TSegmentClosest ClosestOnSegments(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& q0,
                                  const TPoint3D& q1) {
    const TPoint3D d1 = p1 - p0, d2 = q1 - q0, r = p0 - q0;
    const double a = Dot(d1, d1), e = Dot(d2, d2), f = Dot(d2, r);
    double s = 0, t = 0;
    if (a <= cTiny && e <= cTiny) {
        // Two points.
    } else if (a <= cTiny) {
        t = Clamp01(f / e);
    } else {
        const double c = Dot(d1, r);
        if (e <= cTiny) {
            s = Clamp01(-c / a);
        } else {
            const double b = Dot(d1, d2);
            const double denom = a * e - b * b;
            if (denom > 1.0e-12 * a * e) {
                s = Clamp01((b * f - c * e) / denom);
            } else {
                // Parallel: the middle of the stretch of p that faces q, or p's nearer end.
                const double s0 = -c / a, s1 = (b - c) / a;
                const double low = std::max(0.0, std::min(s0, s1));
                const double high = std::min(1.0, std::max(s0, s1));
                s = low <= high ? (low + high) / 2 : Clamp01(s0 < 0 && s1 < 0 ? 0.0 : 1.0);
            }
            t = (b * s + f) / e;
            if (t < 0) {
                t = 0;
                s = Clamp01(-c / a);
            } else if (t > 1) {
                t = 1;
                s = Clamp01((b - c) / a);
            }
        }
    }
    return {s, t, p0 + d1 * s, q0 + d2 * t};
}

double PieceLowerBound(const TClashPiece& p, const TClashPiece& q) {
    const TSegmentClosest c = ClosestOnSegments(p.a, p.b, q.a, q.b);
    return Distance(c.onP, c.onQ) - p.radius - q.radius;
}

std::optional<TClashDistance> PieceDistanceClosedForm(const TClashPiece& p, const TClashPiece& q) {
    if (p.rounded && q.rounded)
        return Swept(p, q, ClosestOnSegments(p.a, p.b, q.a, q.b));
    if (IsBall(q))
        return CylinderBall(p, q.a, q.radius);
    if (IsBall(p))
        return Swapped(CylinderBall(q, p.a, p.radius));
    const TPoint3D up = p.b - p.a, uq = q.b - q.a;
    const double lp = Norm(up), lq = Norm(uq);
    if (!p.rounded && !q.rounded && lp > cTiny && lq > cTiny &&
        Norm(Cross(up, uq)) <= 1.0e-9 * lp * lq)
        return ParallelCylinders(p, q);
    const TSegmentClosest c = ClosestOnSegments(p.a, p.b, q.a, q.b);
    const TClashDistance swept = Swept(p, q, c);
    // A flat cylinder acts as a ball-swept one where its nearest axis point lies inside the
    // axis: the gap then runs across the axis. An overlap also needs room along the axis, so
    // that the ends offer no shorter way out.
    const double need = swept.distance < 0 ? p.radius + q.radius : 0;
    auto exactFor = [&](const TClashPiece& piece, double param) {
        return piece.rounded ||
               (param > 1.0e-9 && param < 1 - 1.0e-9 && AxialRoom(piece, param) >= need);
    };
    if (exactFor(p, c.s) && exactFor(q, c.t))
        return swept;
    return std::nullopt;
}

TClashDistance PieceDistanceLibrary(const TClashPiece& p, const TClashPiece& q) {
    const fcl::CollisionObjectd a = FclObjectOf(p), b = FclObjectOf(q);
    fcl::DistanceRequestd request(true, true);
    fcl::DistanceResultd result;
    fcl::distance(&a, &b, request, result);
    return {result.min_distance, FromFcl(result.nearest_points[0]),
            FromFcl(result.nearest_points[1])};
}

TClashDistance PieceDistance(const TClashPiece& p, const TClashPiece& q) {
    if (auto d = PieceDistanceClosedForm(p, q))
        return *d;
    return SupportSearch(p, q);
}

} // namespace hk
