// Inline forms of the engine's point transform and matrix product for the collision pass's
// inner loops: the same double-precision arithmetic in the same order, rounded to float, so
// the results are identical to AffineTransform and MatrixMultiply, without the calls.
#pragma once

#include "engine/vector_types.h"

namespace hk {

inline TAffineVector TransformPointInline(const TAffineVector& p, const TMatrix& m) {
    const double x = p.x, y = p.y, z = p.z;
    return {float(x * m.V[0].x + y * m.V[1].x + z * m.V[2].x + double(m.V[3].x)),
            float(x * m.V[0].y + y * m.V[1].y + z * m.V[2].y + double(m.V[3].y)),
            float(x * m.V[0].z + y * m.V[1].z + z * m.V[2].z + double(m.V[3].z))};
}

inline TMatrix MultiplyMatricesInline(const TMatrix& a, const TMatrix& b) {
    TMatrix r;
    const float* pa = a.data();
    const float* pb = b.data();
    float* pr = r.data();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double s = double(pa[i * 4]) * pb[j];
            s += double(pa[i * 4 + 1]) * pb[4 + j];
            s += double(pa[i * 4 + 2]) * pb[8 + j];
            s += double(pa[i * 4 + 3]) * pb[12 + j];
            pr[i * 4 + j] = float(s);
        }
    }
    return r;
}

} // namespace hk
