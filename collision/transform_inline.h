// Inline forms of the engine's point transform and matrix product for the collision pass's
// inner loops: the same double-precision arithmetic in the same order, rounded to float, so
// the results are identical to AffineTransform and MatrixMultiply, without the calls.
#pragma once

#include "engine/vector_types.h"

#include <array>

namespace hk {

inline TAffineVector TransformPointInline(const TAffineVector& p, const TMatrix& m) {
    const double x = p.x, y = p.y, z = p.z;
    return {float(x * m.V[0].x + y * m.V[1].x + z * m.V[2].x + double(m.V[3].x)),
            float(x * m.V[0].y + y * m.V[1].y + z * m.V[2].y + double(m.V[3].y)),
            float(x * m.V[0].z + y * m.V[1].z + z * m.V[2].z + double(m.V[3].z))};
}

// The x, y and z columns of a x b, exactly as MatrixMultiply gives them. Column w is left
// (0, 0, 0, 1), which is what it is for the affine matrices of scene objects; the product is
// meant for TransformPointInline, which never reads it.
inline TMatrix AffineProductInline(const TMatrix& a, const TMatrix& b) {
    TMatrix r;
    const float* pa = a.data();
    const float* pb = b.data();
    float* pr = r.data();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            double s = double(pa[i * 4]) * pb[j];
            s += double(pa[i * 4 + 1]) * pb[4 + j];
            s += double(pa[i * 4 + 2]) * pb[8 + j];
            s += double(pa[i * 4 + 3]) * pb[12 + j];
            pr[i * 4 + j] = float(s);
        }
        pr[i * 4 + 3] = i == 3 ? 1.0f : 0.0f;
    }
    return r;
}

// The eight corners of `box`, in the order of BoxCorners, each carried by m exactly as
// TransformPointInline would carry it. A corner's coordinate sums one product per axis, and a
// product depends only on whether the corner takes the box's minimum or maximum on that axis,
// so the 72 products of eight separate transforms shrink to 18.
inline std::array<TAffineVector, 8> TransformBoxCornersInline(const TAABB& box, const TMatrix& m) {
    std::array<TAffineVector, 8> out;
    for (int k = 0; k < 3; ++k) {
        const double x[2] = {double(box.min.x) * m.V[0][k], double(box.max.x) * m.V[0][k]};
        const double y[2] = {double(box.min.y) * m.V[1][k], double(box.max.y) * m.V[1][k]};
        const double z[2] = {double(box.min.z) * m.V[2][k], double(box.max.z) * m.V[2][k]};
        const double t = m.V[3][k];
        // Corner order: (x0,y0) (x1,y0) (x1,y1) (x0,y1), at z0 and then at z1.
        const double xy[4] = {x[0] + y[0], x[1] + y[0], x[1] + y[1], x[0] + y[1]};
        for (int c = 0; c < 8; ++c) {
            out[std::size_t(c)][k] = float(xy[c & 3] + z[c >> 2] + t);
        }
    }
    return out;
}

} // namespace hk
