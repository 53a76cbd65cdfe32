// Placed mesh: the exact map from A's space to B's, the bound on the rounding of the placement,
// and node fits carried over by the map.
//
// The placement rounds twice: w = p W to float, then q = w B to float. Each rounding moves a
// coordinate by at most 2^-24 of its magnitude, the first then carried through B, so a placed
// coordinate lies within 2^-24 (max|p W| * (column sums of |B|) + max|q|) of the exact image of
// p; error_ takes twice that, of a scale that also bounds the rounding of the double-precision
// arithmetic below (about 1e-15 of the same magnitudes).
#include "collision/placed_mesh.h"

#include "collision/transform_inline.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

constexpr double cSqrt3 = 1.7320508075688772;

// The eight corners of a box, in no particular order.
void Corners(const TBox3& box, double (&out)[8][3]) {
    for (int c = 0; c < 8; ++c) {
        for (int k = 0; k < 3; ++k) {
            out[c][k] = (c >> k & 1) ? box.hi[k] : box.lo[k];
        }
    }
}

} // namespace

void TPlacedMesh::Begin(const TTriangleTree& tree, const std::vector<TNodeFit>& own,
                        const TAffineVector* vertices, const std::vector<unsigned>& marks,
                        unsigned mark, const TMatrix& world, const TMatrix& inverseB) {
    tree_ = &tree, own_ = &own, vertices_ = vertices, marks_ = &marks, mark_ = mark;
    world_ = world, inverseB_ = inverseB;
    const std::size_t count = marks.size(), nodes = std::size_t(tree.NodeCount());
    if (count > capacity_) {
        triangles_ = std::make_unique_for_overwrite<TPreparedTriangle[]>(count);
        bounds_ = std::make_unique_for_overwrite<TTriangleBound[]>(count);
        capacity_ = count;
    }
    fits_.resize(nodes);
    if (fitted_.size() != nodes || tried_.size() != count || ++pass_ == 0) {
        fitted_.assign(nodes, 0);
        tried_.assign(count, 0);
        pass_ = 1;
    }
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k) {
            double s = i == 3 ? double(inverseB.V[3][k]) : 0.0;
            for (int j = 0; j < 3; ++j) {
                s += double(world.V[i][j]) * inverseB.V[j][k];
            }
            m_[i][k] = s;
        }
    }
    const auto& l = m_;
    determinant_ = l[0][0] * (l[1][1] * l[2][2] - l[1][2] * l[2][1]) -
                   l[0][1] * (l[1][0] * l[2][2] - l[1][2] * l[2][0]) +
                   l[0][2] * (l[1][0] * l[2][1] - l[1][1] * l[2][0]);
    norm_ = 0;
    for (int j = 0; j < 3; ++j) {
        for (int k = 0; k < 3; ++k) {
            norm_ += l[j][k] * l[j][k];
            // Cofactor of (k, j) over the determinant.
            const int j1 = (k + 1) % 3, j2 = (k + 2) % 3, k1 = (j + 1) % 3, k2 = (j + 2) % 3;
            inverse_[j][k] = (l[j1][k1] * l[j2][k2] - l[j1][k2] * l[j2][k1]) / determinant_;
        }
    }
    norm_ = std::sqrt(norm_);
    double worldMax = 0, placedMax = 0, columns = 0;
    if (!own.empty() && own[0].any) {
        double corners[8][3];
        Corners(own[0].box, corners);
        for (const auto& p : corners) {
            for (int k = 0; k < 3; ++k) {
                double w = world.V[3][k], q = m_[3][k];
                for (int j = 0; j < 3; ++j) {
                    w += p[j] * world.V[j][k];
                    q += p[j] * m_[j][k];
                }
                worldMax = std::max(worldMax, std::fabs(w));
                placedMax = std::max(placedMax, std::fabs(q));
            }
        }
    }
    for (int k = 0; k < 3; ++k) {
        columns = std::max(columns, double(std::fabs(inverseB.V[0][k])) +
                                        std::fabs(inverseB.V[1][k]) + std::fabs(inverseB.V[2][k]));
    }
    const double shift = std::max(
        {std::fabs(inverseB.V[3][0]), std::fabs(inverseB.V[3][1]), std::fabs(inverseB.V[3][2])});
    error_ = std::ldexp(worldMax * columns + shift + placedMax, -22);
    if (!std::isfinite(error_) || !std::isfinite(norm_)) {
        error_ = INFINITY;
    }
}

const TNodeFit& TPlacedMesh::Fit(int node) {
    const std::size_t i = std::size_t(node);
    if (fitted_[i] != pass_) {
        fitted_[i] = pass_;
        if (tree_->Node(node).IsLeaf()) {
            Place(node);
        } else {
            fits_[i] = Carry((*own_)[i]);
        }
    }
    return fits_[i];
}

void TPlacedMesh::CarryDirection(const double (&u)[3], double lo, double hi, double pointMax,
                                 TNodeFit& f) const {
    // For q = p L + t exactly, u.p = w.(q - t) with w = L^-1 u; the computed w gives
    // L w = u + e, so w.(q - t) = u.p + e.p, off by at most |e|_1 max|p|.
    double w[3], e[3], length = 0;
    for (int k = 0; k < 3; ++k) {
        w[k] = inverse_[k][0] * u[0] + inverse_[k][1] * u[1] + inverse_[k][2] * u[2];
        length += w[k] * w[k];
    }
    length = std::sqrt(length);
    double slack = 0, shift = 0;
    for (int j = 0; j < 3; ++j) {
        e[j] = m_[j][0] * w[0] + m_[j][1] * w[1] + m_[j][2] * w[2] - u[j];
        slack += std::fabs(e[j]) * pointMax;
        shift += w[j] * m_[3][j];
    }
    if (!(length > 0) || !std::isfinite(length + shift + slack) || !std::isfinite(lo + hi)) {
        f.u[0] = f.u[1] = f.u[2] = 0;
        f.lo = f.hi = 0;
        return;
    }
    const double widen =
        cSqrt3 * error_ +
        1.0e-12 * ((std::fabs(lo) + std::fabs(hi) + std::fabs(shift) + slack) / length);
    for (int k = 0; k < 3; ++k) {
        f.u[k] = w[k] / length;
    }
    f.lo = (lo + shift - slack) / length - widen;
    f.hi = (hi + shift + slack) / length + widen;
}

TNodeFit TPlacedMesh::Carry(const TNodeFit& own) const {
    TNodeFit f = own;
    if (!own.any) {
        return f;
    }
    if (!std::isfinite(error_)) {
        for (int k = 0; k < 3; ++k) {
            f.box.lo[k] = -INFINITY, f.box.hi[k] = INFINITY, f.u[k] = 0;
        }
        f.lo = f.hi = 0;
        f.reach = INFINITY;
        return f;
    }
    double corners[8][3], pointMax = 0, placedMax = 0;
    Corners(own.box, corners);
    for (int k = 0; k < 3; ++k) {
        f.box.lo[k] = INFINITY, f.box.hi[k] = -INFINITY;
    }
    for (const auto& p : corners) {
        for (int k = 0; k < 3; ++k) {
            const double q = p[0] * m_[0][k] + p[1] * m_[1][k] + p[2] * m_[2][k] + m_[3][k];
            f.box.lo[k] = std::min(f.box.lo[k], q);
            f.box.hi[k] = std::max(f.box.hi[k], q);
            pointMax = std::max(pointMax, std::fabs(p[k]));
            placedMax = std::max(placedMax, std::fabs(q));
        }
    }
    const double widen = error_ + 1.0e-12 * placedMax;
    for (int k = 0; k < 3; ++k) {
        f.box.lo[k] -= widen, f.box.hi[k] += widen;
    }
    CarryDirection(own.u, own.lo, own.hi, pointMax, f);
    // A placed triangle's normal: the exact image's is at least |det L| |n| / |L|; each placed
    // edge lies within 2 sqrt(3) error_ of the image's, itself at most |L| times as long as the
    // edge in A's space.
    const double edge = norm_ * own.edgeMax;
    const double normalLow = std::fabs(determinant_) * own.normalMin / norm_ -
                             4 * cSqrt3 * error_ * edge - 12 * error_ * error_ -
                             1.0e-12 * edge * edge;
    const double magnitude = placedMax + widen;
    f.reach = normalLow > 0 ? (4 * cTrianglePlaneEpsilon / normalLow + cReachRounding * magnitude) *
                                  (1 + 1.0e-9)
                            : INFINITY;
    return f;
}

void TPlacedMesh::Place(int node) {
    const TTriangleTree::TNode& leaf = tree_->Node(node);
    for (int k = leaf.first; k < leaf.first + leaf.count; ++k) {
        const int i = tree_->Triangle(k);
        if ((*marks_)[std::size_t(i)] != mark_) {
            bounds_[std::size_t(k)] = {0, 0, false};
            continue;
        }
        const TAffineVector* v = vertices_ + std::size_t(i) * 3;
        auto place = [&](int j) {
            return TransformPointInline(TransformPointInline(v[j], world_), inverseB_);
        };
        triangles_[std::size_t(k)] = PrepareTriangle(place(0), place(1), place(2));
        bounds_[std::size_t(k)] = BoundOf(triangles_[std::size_t(k)]);
    }
    const TNodeFit& own = (*own_)[std::size_t(node)];
    TNodeFit direction{};
    CarryDirection(own.u, 0, 0, 0, direction);
    fits_[std::size_t(node)] = FitLeaf(leaf, direction.u, triangles_.get(), bounds_.get());
}

} // namespace hk
