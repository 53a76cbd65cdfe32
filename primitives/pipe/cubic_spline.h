// TCubicSpline: interpolating cubics through up to four coordinate series (X, Y, Z, W) with
// the node index as parameter (node i at t = i) and zero second derivative at both ends.
// Shared by pipes, lines and polygons.
#pragma once

#include "engine/vector_types.h"

#include <array>
#include <vector>

namespace hk {

class TCubicSpline {
public:
    // Any series may be none (it then evaluates to 0). `count` values are read from each
    // series that is given; a negative count is taken as 0.
    TCubicSpline(const float* x, const float* y, const float* z, const float* w, int count);

    int Count() const { return count_; }

    // Values at t. Outside [0, Count()-1] the end segments are extended. With one node the
    // value is that node's everywhere; with none it is 0.
    float SplineX(float t) const { return Value(0, t); }
    float SplineY(float t) const { return Value(1, t); }
    float SplineZ(float t) const { return Value(2, t); }
    float SplineW(float t) const { return Value(3, t); }
    TAffineVector SplineAffineVector(float t) const;
    TVector SplineVector(float t) const;
    // Derivative of (X, Y, Z) with respect to t, not normalised.
    TAffineVector SplineSlopeVector(float t) const;

private:
    // One segment of one series: the cubic in t itself, highest power first.
    using Coefficients = std::array<double, 4>;

    int SegmentIndex(float t) const;
    float Value(int series, float t) const;
    float Slope(int series, float t) const;
    static std::vector<Coefficients> Build(const float* p, int count);

    int count_;
    std::array<std::vector<Coefficients>, 4> series_;
    std::array<float, 4> single_{};
};

} // namespace hk
