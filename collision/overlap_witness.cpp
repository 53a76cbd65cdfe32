// The witness point of two boxes. The margin covers what the float matrices carry (the exact
// tests carry one box into the other's space with an inverse rounded to float) and the float
// arithmetic of the witness itself, both errors of a few parts in ten million of the sizes and
// coordinates involved; the margin is ten times that.
#include "collision/overlap_witness.h"

#include "collision/pair_tests.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hk {

namespace {

// The margin, relative to the sizes and coordinates involved.
constexpr float cMargin = 4e-6f;
// How far the product of an object's world matrix and its inverse may stray from the identity
// (relative to its largest term) for the inverse to count as the world matrix's.
constexpr float cInverseTolerance = 1e-6f;

// The point p carried by m, as the engine carries points (row vectors).
TAffineVector Carry(const TAffineVector& p, const TMatrix& m) {
    const TVector &r0 = m.V[0], &r1 = m.V[1], &r2 = m.V[2], &t = m.V[3];
    return {p.x * r0.x + p.y * r1.x + p.z * r2.x + t.x, p.x * r0.y + p.y * r1.y + p.z * r2.y + t.y,
            p.x * r0.z + p.y * r1.z + p.z * r2.z + t.z};
}

float Dot(const TAffineVector& a, const TAffineVector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

TAffineVector Abs(const TAffineVector& v) {
    return {std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)};
}

// Whether the shape's inverse undoes its world matrix: the product of the two linear parts is
// the identity, and the world origin carried there and back is the origin again. The product
// is taken in float, which adds a few parts in ten million of its largest term.
bool InverseMatches(const TPairShape& s) {
    const TVector &v0 = s.inverse.V[0], &v1 = s.inverse.V[1], &v2 = s.inverse.V[2];
    float error = 0, size = 1;
    const auto row = [&](const TVector& w, const TAffineVector& want) {
        const TAffineVector t0{w.x * v0.x, w.x * v0.y, w.x * v0.z};
        const TAffineVector t1{w.y * v1.x, w.y * v1.y, w.y * v1.z};
        const TAffineVector t2{w.z * v2.x, w.z * v2.y, w.z * v2.z};
        error = std::max({error, std::fabs(t0.x + t1.x + t2.x - want.x),
                          std::fabs(t0.y + t1.y + t2.y - want.y),
                          std::fabs(t0.z + t1.z + t2.z - want.z)});
        size = std::max({size, std::fabs(t0.x), std::fabs(t0.y), std::fabs(t0.z), std::fabs(t1.x),
                         std::fabs(t1.y), std::fabs(t1.z), std::fabs(t2.x), std::fabs(t2.y),
                         std::fabs(t2.z)});
    };
    row(s.world.V[0], {1, 0, 0});
    row(s.world.V[1], {0, 1, 0});
    row(s.world.V[2], {0, 0, 1});
    const TVector& t = s.inverse.V[3];
    // The translation row sums terms as large as the coordinates.
    row(s.world.V[3], {-t.x, -t.y, -t.z});
    return error <= cInverseTolerance * size;
}

TWitnessFrame FrameOf(const TPairShape& s) {
    TWitnessFrame f;
    f.looked = true;
    const TAABB& box = s.box;
    f.centre = {(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2,
                (box.min.z + box.max.z) / 2};
    f.half = {(box.max.x - box.min.x) / 2, (box.max.y - box.min.y) / 2,
              (box.max.z - box.min.z) / 2};
    const TAffineVector length{
        f.half.x * f.half.x * Dot(s.world.V[0].Affine(), s.world.V[0].Affine()),
        f.half.y * f.half.y * Dot(s.world.V[1].Affine(), s.world.V[1].Affine()),
        f.half.z * f.half.z * Dot(s.world.V[2].Affine(), s.world.V[2].Affine())};
    const int axis =
        length.x >= length.y ? (length.x >= length.z ? 0 : 2) : (length.y >= length.z ? 1 : 2);
    const TVector& i0 = s.inverse.V[0];
    const TVector& i1 = s.inverse.V[1];
    const TVector& i2 = s.inverse.V[2];
    f.weight = {std::fabs(i0.x) + std::fabs(i1.x) + std::fabs(i2.x),
                std::fabs(i0.y) + std::fabs(i1.y) + std::fabs(i2.y),
                std::fabs(i0.z) + std::fabs(i1.z) + std::fabs(i2.z)};
    const TAffineVector t = Abs(s.inverse.V[3].Affine()), c = Abs(f.centre);
    f.base = {t.x + c.x + f.half.x, t.y + c.y + f.half.y, t.z + c.z + f.half.z};
    f.worldCentre = Carry(f.centre, s.world);
    const TAffineVector row = s.world.V[axis].Affine();
    const float h = f.half[axis];
    f.longHalf = {h * row.x, h * row.y, h * row.z};
    const bool finite = std::isfinite(length.x + length.y + length.z) &&
                        std::isfinite(Dot(f.weight, f.base)) &&
                        std::isfinite(Dot(f.worldCentre, f.worldCentre));
    f.usable = f.half.x > 0 && f.half.y > 0 && f.half.z > 0 && finite && InverseMatches(s);
    const TAffineVector e = s.extents.Affine();
    const TAffineVector minusE{-e.x, -e.y, -e.z};
    f.extentsBox = std::memcmp(&box.max, &e, sizeof e) == 0 &&
                   std::memcmp(&box.min, &minusE, sizeof minusE) == 0;
    return f;
}

bool Usable(const TWitnessFrame& f, TWitnessBox box) {
    return f.usable && (box == TWitnessBox::Hierarchy || f.extentsBox);
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
    const TAffineVector &p = a.worldCentre, &q = b.worldCentre;
    return {(p.x + s * d1.x + q.x + t * d2.x) / 2, (p.y + s * d1.y + q.y + t * d2.y) / 2,
            (p.z + s * d1.z + q.z + t * d2.z) / 2};
}

// Whether the world point p lies inside the frame's box by the margin on every axis.
bool WellInside(const TAffineVector& p, const TPairShape& s, const TWitnessFrame& f) {
    const TAffineVector q = Carry(p, s.inverse);
    const float reach = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    const auto within = [reach](float v, float centre, float half, float weight, float base) {
        return std::fabs(v - centre) <= half - cMargin * (reach * weight + base);
    };
    return within(q.x, f.centre.x, f.half.x, f.weight.x, f.base.x) &
           within(q.y, f.centre.y, f.half.y, f.weight.y, f.base.y) &
           within(q.z, f.centre.z, f.half.z, f.weight.z, f.base.z);
}

} // namespace

void LookUpWitnessFrame(TPairShape& s) {
    if (!s.witness->looked) {
        *s.witness = FrameOf(s);
    }
}

bool BoxesSurelyMeet(TPairShape& a, TPairShape& b, TWitnessBox box) {
    TWitnessFrame ownA, ownB;
    if (!a.witness) {
        ownA = FrameOf(a);
    } else {
        LookUpWitnessFrame(a);
    }
    if (!b.witness) {
        ownB = FrameOf(b);
    } else {
        LookUpWitnessFrame(b);
    }
    const TWitnessFrame& fa = a.witness ? *a.witness : ownA;
    const TWitnessFrame& fb = b.witness ? *b.witness : ownB;
    if (!Usable(fa, box) || !Usable(fb, box)) {
        return false;
    }
    const TAffineVector p = ClosestAxesMiddle(fa, fb);
    return WellInside(p, a, fa) && WellInside(p, b, fb);
}

} // namespace hk
