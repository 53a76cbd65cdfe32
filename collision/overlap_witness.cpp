// The witness point of two boxes. The margin covers what the float matrices carry (the exact
// tests carry one box into the other's space with an inverse rounded to float) and the float
// arithmetic of the witness itself, both errors of a few parts in ten million of the sizes and
// coordinates involved; the margin is a hundred times that.
#include "collision/overlap_witness.h"

#include "collision/pair_tests.h"

#include <algorithm>
#include <cmath>

namespace hk {

namespace {

// The margin, relative to the sizes and coordinates involved.
constexpr float cMargin = 4e-6f;
// How far the product of an object's world matrix and its inverse may stray from the identity
// (relative to its largest term) for the inverse to count as the world matrix's.
constexpr double cInverseTolerance = 1e-6;

// The point p carried by m, as the engine carries points (row vectors).
TAffineVector Carry(const TAffineVector& p, const TMatrix& m) {
    TAffineVector r;
    for (int k = 0; k < 3; ++k) {
        r[k] = p.x * m.V[0][k] + p.y * m.V[1][k] + p.z * m.V[2][k] + m.V[3][k];
    }
    return r;
}

float Dot(const TAffineVector& a, const TAffineVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Whether the shape's inverse undoes its world matrix: the product of the two linear parts is
// the identity, and the world origin carried there and back is the origin again.
bool InverseMatches(const TPairShape& s) {
    double error = 0, size = 1;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = i == 3 ? double(s.inverse.V[3][j]) : (i == j ? -1.0 : 0.0);
            for (int k = 0; k < 3; ++k) {
                const double term = double(s.world.V[i][k]) * s.inverse.V[k][j];
                sum += term;
                size = std::max(size, std::fabs(term));
            }
            error = std::max(error, std::fabs(sum));
        }
    }
    // The translation row sums terms as large as the coordinates.
    return error <= cInverseTolerance * size;
}

TWitnessFrame FrameOf(const TPairShape& s, const TAABB& box) {
    TWitnessFrame f;
    f.looked = true;
    float longest = -1;
    int axis = 0;
    for (int k = 0; k < 3; ++k) {
        f.centre[k] = (box.min[k] + box.max[k]) / 2;
        f.half[k] = (box.max[k] - box.min[k]) / 2;
        const TAffineVector row = s.world.V[k].Affine();
        const float length = f.half[k] * f.half[k] * Dot(row, row);
        if (length > longest) {
            longest = length;
            axis = k;
        }
        f.weight[k] = std::fabs(s.inverse.V[0][k]) + std::fabs(s.inverse.V[1][k]) +
                      std::fabs(s.inverse.V[2][k]);
        f.base[k] = std::fabs(s.inverse.V[3][k]) + std::fabs(f.centre[k]) + f.half[k];
    }
    f.worldCentre = Carry(f.centre, s.world);
    const TAffineVector row = s.world.V[axis].Affine();
    f.longHalf = {f.half[axis] * row.x, f.half[axis] * row.y, f.half[axis] * row.z};
    const bool finite = std::isfinite(longest) && std::isfinite(Dot(f.weight, f.base)) &&
                        std::isfinite(Dot(f.worldCentre, f.worldCentre));
    f.usable = f.half.x > 0 && f.half.y > 0 && f.half.z > 0 && finite && InverseMatches(s);
    return f;
}

// The frame of `box`, kept with the shape when `box` is its hierarchy box.
const TWitnessFrame& Frame(TPairShape& s, const TAABB& box, TWitnessFrame& scratch) {
    const bool own = box.min.x == s.box.min.x && box.min.y == s.box.min.y &&
                     box.min.z == s.box.min.z && box.max.x == s.box.max.x &&
                     box.max.y == s.box.max.y && box.max.z == s.box.max.z;
    if (!own) {
        return scratch = FrameOf(s, box);
    }
    if (!s.witness.looked) {
        s.witness = FrameOf(s, box);
    }
    return s.witness;
}

// The middle of the closest points of the two boxes' long axes, each the segment from the
// centre minus to the centre plus its long half.
TAffineVector ClosestAxesMiddle(const TWitnessFrame& a, const TWitnessFrame& b) {
    const TAffineVector& d1 = a.longHalf;
    const TAffineVector& d2 = b.longHalf;
    // Points a.worldCentre + s d1 and b.worldCentre + t d2, s and t in [-1, 1].
    const TAffineVector r{a.worldCentre.x - b.worldCentre.x, a.worldCentre.y - b.worldCentre.y,
                          a.worldCentre.z - b.worldCentre.z};
    const float aa = Dot(d1, d1), ee = Dot(d2, d2), ab = Dot(d1, d2);
    const float c = Dot(d1, r), f = Dot(d2, r);
    const float denominator = aa * ee - ab * ab;
    float s = denominator > 0 ? std::clamp((ab * f - c * ee) / denominator, -1.0f, 1.0f) : 0.0f;
    float t = (ab * s + f) / ee;
    if (t < -1) {
        t = -1;
        s = std::clamp((-ab - c) / aa, -1.0f, 1.0f);
    } else if (t > 1) {
        t = 1;
        s = std::clamp((ab - c) / aa, -1.0f, 1.0f);
    }
    TAffineVector m;
    for (int k = 0; k < 3; ++k) {
        m[k] = (a.worldCentre[k] + s * d1[k] + b.worldCentre[k] + t * d2[k]) / 2;
    }
    return m;
}

// Whether the world point p lies inside the frame's box by the margin on every axis.
bool WellInside(const TAffineVector& p, const TPairShape& s, const TWitnessFrame& f) {
    const TAffineVector q = Carry(p, s.inverse);
    const float reach = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    bool inside = true;
    for (int k = 0; k < 3; ++k) {
        const float margin = cMargin * (reach * f.weight[k] + f.base[k]);
        inside &= std::fabs(q[k] - f.centre[k]) <= f.half[k] - margin;
    }
    return inside;
}

} // namespace

bool BoxesSurelyMeet(TPairShape& a, const TAABB& boxA, TPairShape& b, const TAABB& boxB) {
    TWitnessFrame scratchA, scratchB;
    const TWitnessFrame& fa = Frame(a, boxA, scratchA);
    if (!fa.usable) {
        return false;
    }
    const TWitnessFrame& fb = Frame(b, boxB, scratchB);
    if (!fb.usable) {
        return false;
    }
    const TAffineVector p = ClosestAxesMiddle(fa, fb);
    return WellInside(p, a, fa) && WellInside(p, b, fb);
}

} // namespace hk
