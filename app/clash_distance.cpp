// Signed distance of solids: a bound-and-refine search over the pieces of two piece solids, and
// FCL's hierarchy queries with an inside test for meshes.
#include "app/clash_distance.h"

#include "app/clash_fcl.h"
#include "app/clash_mesh.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace hk {
namespace {

TClashDistance Swapped(const TClashDistance& d) {
    return {d.distance, d.onSecond, d.onFirst};
}

// A box around a piece: its axis grown by its radius on every side.
struct TPieceBox {
    TPoint3D lo, hi;
};

TPieceBox BoxOf(const TClashPiece& p) {
    const TPoint3D r{p.radius, p.radius, p.radius};
    return {TPoint3D{std::min(p.a.x, p.b.x), std::min(p.a.y, p.b.y), std::min(p.a.z, p.b.z)} - r,
            TPoint3D{std::max(p.a.x, p.b.x), std::max(p.a.y, p.b.y), std::max(p.a.z, p.b.z)} + r};
}

// The gap between two boxes, 0 where they meet: never more than the gap between what they hold.
double BoxGap(const TPieceBox& p, const TPieceBox& q) {
    const auto axis = [](double plo, double phi, double qlo, double qhi) {
        const double g = std::max({plo - qhi, qlo - phi, 0.0});
        return g * g;
    };
    return std::sqrt(axis(p.lo.x, p.hi.x, q.lo.x, q.hi.x) + axis(p.lo.y, p.hi.y, q.lo.y, q.hi.y) +
                     axis(p.lo.z, p.hi.z, q.lo.z, q.hi.z));
}

// The closest (or deepest) pair of pieces. Every pair gets a lower bound of its signed distance:
// the gap of the pieces' boxes where they are apart, the ball-swept bound where they meet. The
// pair of the least bound is measured first; only pairs whose bound is below the distance found
// can beat it, and those are measured in the order of their bounds until a bound cannot.
TClashDistance PiecesDistance(const std::vector<TClashPiece>& a,
                              const std::vector<TClashPiece>& b) {
    if (a.size() == 1 && b.size() == 1)
        return PieceDistance(a.front(), b.front());
    struct TCandidate {
        double bound;
        int i, j;
    };
    std::vector<TPieceBox> boxesB(b.size());
    std::transform(b.begin(), b.end(), boxesB.begin(), BoxOf);
    std::vector<TCandidate> candidates;
    candidates.reserve(a.size() * b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        const TPieceBox boxA = BoxOf(a[i]);
        for (std::size_t j = 0; j < b.size(); ++j) {
            const double gap = BoxGap(boxA, boxesB[j]);
            candidates.push_back({gap > 0 ? gap : PieceLowerBound(a[i], b[j]), int(i), int(j)});
        }
    }
    TClashDistance best{HUGE_VAL, {}, {}};
    if (candidates.empty())
        return best;
    const auto byBound = [](const TCandidate& x, const TCandidate& y) { return x.bound < y.bound; };
    const TCandidate first = *std::min_element(candidates.begin(), candidates.end(), byBound);
    const TClashDistance seed = PieceDistance(a[std::size_t(first.i)], b[std::size_t(first.j)]);
    if (seed.distance < best.distance)
        best = seed;
    const auto beaten =
        std::partition(candidates.begin(), candidates.end(), [&](const TCandidate& c) {
            return c.bound < best.distance && (c.i != first.i || c.j != first.j);
        });
    std::sort(candidates.begin(), beaten, byBound);
    for (auto c = candidates.begin(); c != beaten; ++c) {
        if (c->bound >= best.distance)
            break;
        const TClashDistance d = PieceDistance(a[std::size_t(c->i)], b[std::size_t(c->j)]);
        if (d.distance < best.distance)
            best = d;
    }
    return best;
}

// Extent of a piece along the unit vector n.
double Width(const TClashPiece& p, const TPoint3D& n) {
    const TPoint3D axis = p.b - p.a;
    const double length = Norm(axis);
    const double along = length > 0 ? std::fabs(Dot(axis * (1 / length), n)) : 0;
    const double across = p.rounded ? 1 : std::sqrt(std::max(0.0, 1 - along * along));
    return along * length + 2 * p.radius * across;
}

double Width(const TClashMesh& mesh, const TPoint3D& n) {
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const TPoint3D& v : mesh.Vertices()) {
        low = std::min(low, Dot(v, n));
        high = std::max(high, Dot(v, n));
    }
    return high - low;
}

// The unsigned gap between two surfaces with its points; 0 when they cross.
TClashDistance SurfaceGap(const fcl::CollisionObjectd& a, const fcl::CollisionObjectd& b) {
    fcl::DistanceRequestd request(true);
    fcl::DistanceResultd result;
    fcl::distance(&a, &b, request, result);
    return {std::max(result.min_distance, 0.0), FromFcl(result.nearest_points[0]),
            FromFcl(result.nearest_points[1])};
}

// Where the surfaces cross: the deepest contact FCL reports, at least 0.
TClashDistance Crossing(const fcl::CollisionObjectd& a, const fcl::CollisionObjectd& b) {
    fcl::CollisionRequestd request(64, true);
    fcl::CollisionResultd result;
    fcl::collide(&a, &b, request, result);
    TClashDistance deepest{0, {}, {}};
    bool found = false;
    for (std::size_t k = 0; k < result.numContacts(); ++k) {
        const fcl::Contactd& c = result.getContact(k);
        if (!found || -c.penetration_depth < deepest.distance) {
            const TPoint3D at = FromFcl(c.pos), n = FromFcl(c.normal);
            deepest = {-std::max(c.penetration_depth, 0.0), at - n * (c.penetration_depth / 2),
                       at + n * (c.penetration_depth / 2)};
            found = true;
        }
    }
    return deepest;
}

bool Inside(const TPoint3D& x, const TClashPiece& p) {
    return PieceDistance(p, {x, x, 0, true}).distance < 0;
}

// The gap between a mesh and a piece, the way out of whichever encloses the other, or the
// depth where their surfaces cross.
TClashDistance MeshPiece(const TClashMesh& mesh, const TClashPiece& piece) {
    const fcl::CollisionObjectd m = FclObjectOf(mesh), p = FclObjectOf(piece);
    TClashDistance d = SurfaceGap(m, p);
    if (d.distance > 0) {
        const TPoint3D n = Normalized(d.onFirst - d.onSecond);
        if (mesh.Contains(piece.a))
            d.distance = -(d.distance + Width(piece, n));
        else if (!mesh.Vertices().empty() && Inside(mesh.Vertices().front(), piece))
            d.distance = -(d.distance + Width(mesh, n));
        return d;
    }
    return Crossing(m, p);
}

// How far the vertices of `inner` that lie inside `outer` are from its surface, at most.
TClashDistance DeepestVertex(const TClashMesh& inner, const TClashMesh& outer) {
    TClashDistance deepest{0, {}, {}};
    const fcl::CollisionObjectd out = FclObjectOf(outer);
    for (const TPoint3D& v : inner.Vertices()) {
        if (!outer.Contains(v))
            continue;
        const TClashDistance d = SurfaceGap(FclObjectOf(TClashPiece{v, v, 0, true}), out);
        if (-d.distance < deepest.distance)
            deepest = {-d.distance, v, d.onSecond};
    }
    return deepest;
}

TClashDistance MeshMesh(const TClashMesh& a, const TClashMesh& b) {
    const fcl::CollisionObjectd ma = FclObjectOf(a), mb = FclObjectOf(b);
    TClashDistance d = SurfaceGap(ma, mb);
    if (d.distance > 0) {
        const TPoint3D n = Normalized(d.onFirst - d.onSecond);
        if (!b.Vertices().empty() && a.Contains(b.Vertices().front()))
            d.distance = -(d.distance + Width(b, n));
        else if (!a.Vertices().empty() && b.Contains(a.Vertices().front()))
            d.distance = -(d.distance + Width(a, n));
        return d;
    }
    TClashDistance deepest = Crossing(ma, mb);
    const TClashDistance aInB = DeepestVertex(a, b);
    const TClashDistance bInA = Swapped(DeepestVertex(b, a));
    for (const TClashDistance& c : {aInB, bInA})
        if (c.distance < deepest.distance)
            deepest = c;
    return deepest;
}

TClashDistance MeshSolid(const TClashMesh& mesh, const TClashSolid& other) {
    if (other.mesh)
        return other.mesh->Geometry() ? MeshMesh(mesh, *other.mesh)
                                      : TClashDistance{HUGE_VAL, {}, {}};
    TClashDistance best{HUGE_VAL, {}, {}};
    for (const TClashPiece& piece : other.pieces) {
        const TClashDistance d = MeshPiece(mesh, piece);
        if (d.distance < best.distance)
            best = d;
    }
    return best;
}

} // namespace

TClashDistance SolidDistance(const TClashSolid& first, const TClashSolid& second) {
    if (first.mesh)
        return first.mesh->Geometry() ? MeshSolid(*first.mesh, second)
                                      : TClashDistance{HUGE_VAL, {}, {}};
    if (second.mesh)
        return second.mesh->Geometry() ? Swapped(MeshSolid(*second.mesh, first))
                                       : TClashDistance{HUGE_VAL, {}, {}};
    return PiecesDistance(first.pieces, second.pieces);
}

} // namespace hk
