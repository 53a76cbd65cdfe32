// Face exits: the limits are found by bisection over the ordered finite floats, evaluating
// the plane value exactly as the triangle test does.
#include "collision/face_exit.h"

#include "collision/triangle_tests.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace hk {

namespace {

// Finite floats numbered in increasing order (both zeros get 0).
std::int64_t Rank(float f) {
    std::int32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits >= 0 ? std::int64_t(bits) : -std::int64_t(bits & 0x7fffffff);
}

float FromRank(std::int64_t r) {
    const std::uint32_t bits = r >= 0 ? std::uint32_t(r) : (0x80000000u | std::uint32_t(-r));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// The least finite float for which a non-decreasing predicate holds; +infinity if none does.
template <class Pred> float Least(Pred holds) {
    std::int64_t lo = Rank(-FLT_MAX), hi = Rank(FLT_MAX);
    if (!holds(FLT_MAX)) {
        return std::numeric_limits<float>::infinity();
    }
    if (holds(-FLT_MAX)) {
        return -FLT_MAX;
    }
    while (hi - lo > 1) { // holds(hi), !holds(lo)
        const std::int64_t mid = lo + (hi - lo) / 2;
        (holds(FromRank(mid)) ? hi : lo) = mid;
    }
    return FromRank(hi);
}

// The greatest finite float for which a non-increasing predicate holds; -infinity if none.
template <class Pred> float Greatest(Pred holds) {
    const float least = Least([&](float x) { return !holds(x); });
    if (least == -FLT_MAX) {
        return -std::numeric_limits<float>::infinity();
    }
    if (std::isinf(least)) {
        return FLT_MAX;
    }
    return FromRank(Rank(least) - 1);
}

} // namespace

TFaceExit MakeFaceExit(const TAffineVector& f0, const TAffineVector& f1, const TAffineVector& f2) {
    const TTrianglePlane plane = TrianglePlane(f0, f1, f2);
    int axis = -1;
    for (int a = 0; a < 3; ++a) {
        if (plane.n[a] != 0) {
            if (axis >= 0) {
                return {};
            }
            axis = a;
        }
    }
    if (axis < 0 || !plane.hasSurface || !std::isfinite(plane.n[axis]) || !std::isfinite(plane.c)) {
        return {};
    }
    // The other two normal components are zeros, so their terms vanish for any finite point.
    auto value = [&](float x) {
        double p[3] = {0, 0, 0};
        p[axis] = x;
        return PlaneValue(plane, p);
    };
    const bool rising = plane.n[axis] > 0;
    auto beyondHigh = [&](float x) {
        const double v = value(x);
        return rising ? v >= cTrianglePlaneEpsilon : v <= -cTrianglePlaneEpsilon;
    };
    auto beyondLow = [&](float x) {
        const double v = value(x);
        return rising ? v <= -cTrianglePlaneEpsilon : v >= cTrianglePlaneEpsilon;
    };
    return {axis, Greatest(beyondLow), Least(beyondHigh)};
}

} // namespace hk
