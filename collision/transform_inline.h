// Inline forms of the engine's point transform and matrix product for the collision pass's
// inner loops: the same double-precision arithmetic in the same order, rounded to float, so
// the results are identical to AffineTransform and MatrixMultiply, without the calls.
#pragma once

#include "engine/vector_types.h"

#include <array>
#include <type_traits>

namespace hk {

inline TAffineVector TransformPointInline(const TAffineVector& p, const TMatrix& m) {
    const double x = p.x, y = p.y, z = p.z;
    return {float(x * m.V[0].x + y * m.V[1].x + z * m.V[2].x + double(m.V[3].x)),
            float(x * m.V[0].y + y * m.V[1].y + z * m.V[2].y + double(m.V[3].y)),
            float(x * m.V[0].z + y * m.V[1].z + z * m.V[2].z + double(m.V[3].z))};
}

// Two doubles that the compiler keeps in one vector register. Each lane does the same operations
// in the same order as the scalar code would, so the results are the same bits, in half the
// instructions.
using TDoublePair = double __attribute__((vector_size(16)));

// The x, y and z columns of a x b, exactly as MatrixMultiply gives them. Column w is left
// (0, 0, 0, 1), which is what it is for the affine matrices of scene objects; the product is
// meant for TransformPointInline, which never reads it. Columns x and y are summed as a pair,
// column z for two rows at once.
inline TMatrix AffineProductInline(const TMatrix& a, const TMatrix& b) {
    TMatrix r;
    const float* pa = a.data();
    const float* pb = b.data();
    float* pr = r.data();
    TDoublePair bxy[4], bz[4];
    for (int k = 0; k < 4; ++k) {
        bxy[k] = TDoublePair{pb[k * 4], pb[k * 4 + 1]};
        bz[k] = TDoublePair{pb[k * 4 + 2], pb[k * 4 + 2]};
    }
    for (int i = 0; i < 4; ++i) {
        const float* row = pa + i * 4;
        TDoublePair s = double(row[0]) * bxy[0];
        s += double(row[1]) * bxy[1];
        s += double(row[2]) * bxy[2];
        s += double(row[3]) * bxy[3];
        pr[i * 4] = float(s[0]);
        pr[i * 4 + 1] = float(s[1]);
        pr[i * 4 + 3] = i == 3 ? 1.0f : 0.0f;
    }
    for (int i = 0; i < 4; i += 2) {
        const float* r0 = pa + i * 4;
        const float* r1 = r0 + 4;
        TDoublePair s = TDoublePair{r0[0], r1[0]} * bz[0];
        s += TDoublePair{r0[1], r1[1]} * bz[1];
        s += TDoublePair{r0[2], r1[2]} * bz[2];
        s += TDoublePair{r0[3], r1[3]} * bz[3];
        pr[i * 4 + 2] = float(s[0]);
        pr[i * 4 + 6] = float(s[1]);
    }
    return r;
}

// The eight corners of `box`, in the order of BoxCorners, each carried by m exactly as
// TransformPointInline would carry it. A corner's coordinate sums one product per axis, and a
// product depends only on whether the corner takes the box's minimum or maximum on that axis,
// so the 72 products of eight separate transforms shrink to 18. Coordinates x and y are
// computed as a pair.
inline std::array<TAffineVector, 8> TransformBoxCornersInline(const TAABB& box, const TMatrix& m) {
    std::array<TAffineVector, 8> out;
    // Corner order: (x0,y0) (x1,y0) (x1,y1) (x0,y1), at z0 and then at z1.
    const auto corners = [&out](const auto(&x)[2], const auto(&y)[2], const auto(&z)[2],
                                const auto& t, auto&& store) {
        using T = std::remove_cvref_t<decltype(t)>;
        const T xy[4] = {x[0] + y[0], x[1] + y[0], x[1] + y[1], x[0] + y[1]};
        for (int c = 0; c < 8; ++c) {
            store(out[std::size_t(c)], xy[c & 3] + z[c >> 2] + t);
        }
    };
    const auto row = [&m](int axis) { return TDoublePair{m.V[axis][0], m.V[axis][1]}; };
    const TDoublePair x[2] = {double(box.min.x) * row(0), double(box.max.x) * row(0)};
    const TDoublePair y[2] = {double(box.min.y) * row(1), double(box.max.y) * row(1)};
    const TDoublePair z[2] = {double(box.min.z) * row(2), double(box.max.z) * row(2)};
    corners(x, y, z, row(3), [](TAffineVector& p, const TDoublePair& v) {
        p.x = float(v[0]);
        p.y = float(v[1]);
    });
    const double xz[2] = {double(box.min.x) * m.V[0].z, double(box.max.x) * m.V[0].z};
    const double yz[2] = {double(box.min.y) * m.V[1].z, double(box.max.y) * m.V[1].z};
    const double zz[2] = {double(box.min.z) * m.V[2].z, double(box.max.z) * m.V[2].z};
    corners(xz, yz, zz, double(m.V[3].z), [](TAffineVector& p, double v) { p.z = float(v); });
    return out;
}

} // namespace hk
